// 100 shadowed 20-character labels on a 1024 x 1024 canvas: through DrawText
// with the font's glyph cache, and (the anchor) the same glyphs of the same
// face loaded and rendered by FreeType for every glyph drawn (FT_LOAD_RENDER)
// and blitted with the same blending. Then a full paint of a tile with
// measurements, texts, the probe and reference lines.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "Source/czeboverlaycommon.h"
#include "Source/zebimageviewctrl.h"
#include "platform/device_context.h"
#include "platform/draw_text.h"
#include "platform/font_library.h"

namespace {

using platform::Point;
using platform::Rect;

constexpr int kCanvas = 1024;
constexpr int kLabels = 100;
constexpr uint32_t kLabelFlags = platform::kTextWordBreak | platform::kTextExpandTabs |
                                 platform::kTextEditControl | platform::kTextNoPrefix;

std::vector<std::u16string> labels() {
    std::vector<std::u16string> out;
    for (int i = 0; i < kLabels; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%07.2fmm label %03d", 12.5 * i + 0.25, i);
        out.emplace_back(text, text + 20);
    }
    return out;
}

Point place(int i) {
    return {8 + (i % 5) * 200, 8 + (i / 5) * 50};
}

std::shared_ptr<platform::FreeTypeFont> label_font() {
    return platform::open_font({u"IPAGothic", platform::points_to_pixels(10), 400});
}

void BM_LabelsDrawText(benchmark::State& state) {
    const auto font = label_font();
    const std::vector<std::u16string> texts = labels();
    platform::Bitmap canvas(kCanvas, kCanvas);
    platform::DeviceContext dc(&canvas);
    dc.select_font(font.get());
    std::vector<ZEBTextSize> sizes;
    for (const auto& t : texts) sizes.push_back(CZEBOverlayCommon::MeasureText(dc, t));
    for (auto _ : state) {
        for (int i = 0; i < kLabels; ++i)
            CZEBOverlayCommon::DrawLabel(dc, place(i), sizes[i].width, sizes[i].height, texts[i]);
        benchmark::DoNotOptimize(canvas.bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_LabelsDrawText)->Unit(benchmark::kMicrosecond);

void BM_LabelsFreeTypeRenderEachGlyph(benchmark::State& state) {
    const auto font = label_font();
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, font->file().c_str(), 0, &face) ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(platform::points_to_pixels(10)))) {
        state.SkipWithError("cannot open the face");
        return;
    }
    const std::vector<std::u16string> texts = labels();
    platform::Bitmap canvas(kCanvas, kCanvas);
    platform::DeviceContext dc(&canvas);
    const Rect all = canvas.bounds();
    const int ascent = font->ascent();
    for (auto _ : state) {
        for (int i = 0; i < kLabels; ++i) {
            for (int pass = 0; pass < 2; ++pass) {
                const Point at{place(i).x + 1 - pass, place(i).y + 1 - pass};
                const platform::Color ink = pass ? platform::kWhite : platform::kBlack;
                int pen = at.x;
                for (char16_t c : texts[i]) {
                    if (FT_Load_Char(face, c, FT_LOAD_RENDER)) continue;
                    const FT_GlyphSlot g = face->glyph;
                    dc.blend_mask(pen + g->bitmap_left, at.y + ascent - g->bitmap_top,
                                  g->bitmap.buffer, static_cast<int32_t>(g->bitmap.width),
                                  static_cast<int32_t>(g->bitmap.rows), g->bitmap.pitch, ink, all);
                    pen += static_cast<int>((g->advance.x + 32) >> 6);
                }
            }
        }
        benchmark::DoNotOptimize(canvas.bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * kLabels);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_LabelsFreeTypeRenderEachGlyph)->Unit(benchmark::kMicrosecond);

// A 512 x 512 frame shown at zoom 2 with 20 measurements, 10 texts, the
// probe and three reference lines.
void BM_OverlayPaint(benchmark::State& state) {
    FrameImageInfo frame;
    CZEBOverlayCommon& g = frame.m_overlay;
    g.m_columns = g.m_rows = 512;
    g.m_pixelSpacingX = g.m_pixelSpacingY = 0.5;
    g.m_sopClassUid = u"1.2.840.10008.5.1.4.1.1.2";
    frame.m_overlay.SyncPixelValueInfo();
    ZEBImageViewCtrl tile(kCanvas, kCanvas);
    tile.SetFrame(&frame);
    tile.SetToolMode(kToolMeasure);
    for (int i = 0; i < 20; ++i) {
        const Point a{60 + (i % 4) * 240, 60 + (i / 4) * 190};
        tile.OnLButtonDown(a);
        tile.OnMouseMove({a.x + 150, a.y + 40 + i});
        tile.OnLButtonUp({a.x + 150, a.y + 40 + i});
    }
    tile.SetToolMode(kToolText);
    for (int i = 0; i < 10; ++i) {
        tile.OnLButtonDown({100 + (i % 2) * 400, 130 + i * 80});
        tile.OnPaste(u"Annotation text\r\nsecond line");
        tile.OnLButtonUp({100 + (i % 2) * 400, 130 + i * 80});
    }
    tile.OnLButtonDown({5, 5});  // ends the last edit
    tile.OnLButtonUp({5, 5});
    tile.SetToolMode(kToolPixelValue);
    tile.OnLButtonDown({500, 500});
    tile.OnLButtonUp({500, 500});
    CZEBOverlayReferenceLine& lines = frame.m_overlay.ReferenceLine();
    for (int i = 0; i < 3; ++i)
        lines.m_records[i] = {1, {0, 100 + 150 * i}, {511, 140 + 150 * i}, i + 1};
    tile.ShowReferenceLines(true);
    for (auto _ : state) {
        tile.Paint();
        benchmark::DoNotOptimize(tile.BackBuffer().bytes().data());
    }
}
BENCHMARK(BM_OverlayPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
