#include "Source/czeboverlaypixelvalue.h"

#include <algorithm>
#include <cstring>

#include "Source/appsettings.h"
#include "Source/czebfont.h"
#include "Source/zebimagememory.h"
#include "Source/zebstringutil.h"
#include "platform/device_context.h"
#include "platform/draw_text.h"

using platform::Point;
using platform::Rect;

namespace {

constexpr char16_t kCtImageStorage[] = u"1.2.840.10008.5.1.4.1.1.2";

// Sample `index` of the memory as stored (little-endian host order).
int64_t ReadSample(const ZEBImageMemory& memory, uint64_t index, bool asSigned) {
    const uint8_t* p = memory.m_buffer.data();
    if (memory.m_bitsPerSample <= 8) {
        return asSigned ? int64_t{static_cast<int8_t>(p[index])} : int64_t{p[index]};
    }
    if (memory.m_bitsPerSample <= 16) {
        uint16_t v;
        std::memcpy(&v, p + index * 2, 2);
        return asSigned ? int64_t{static_cast<int16_t>(v)} : int64_t{v};
    }
    uint32_t v;
    std::memcpy(&v, p + index * 4, 4);
    return asSigned ? int64_t{static_cast<int32_t>(v)} : int64_t{v};
}

}  // namespace

CZEBOverlayPixelValue::Rgb CZEBOverlayPixelValue::CmykToRgb(int64_t c, int64_t m, int64_t y,
                                                            int64_t k) {
    const auto component = [k](int64_t s) {
        const int64_t t = std::clamp<int64_t>((100 - k) * s + k * 100, 0, 10000);
        return static_cast<double>((10000 - t) * 255 / 10000);
    };
    return {component(c), component(m), component(y)};
}

CZEBOverlayPixelValue::Rgb CZEBOverlayPixelValue::YbrToRgb(double y, double cb, double cr) {
    const auto clamp = [](double v) { return std::clamp(v, 0.0, 255.0); };
    return {clamp(y + 1.402 * (cr - 128.0)),
            clamp(y - 0.34414 * (cb - 128.0) - 0.71414 * (cr - 128.0)),
            clamp(y + 1.772 * (cb - 128.0))};
}

void CZEBOverlayPixelValue::Sample(Point p, const ZEBImageMemory& memory, int32_t offsetX,
                                   int32_t offsetY, Point origin, double zoom) {
    Point image = ScreenToImage(p, offsetX, offsetY, origin, zoom);
    m_value = m_red = m_green = m_blue = 0.0;
    m_isColour = 0;
    // A point on the image that rounds to one past its last column or row
    // (at zooms above 1) reads that column or row.
    if (GetImageRect(offsetX, offsetY, origin, zoom).contains(p)) {
        if (image.x == m_columns) image.x = m_columns - 1;
        if (image.y == m_rows) image.y = m_rows - 1;
    }
    const int64_t kind = memory.m_colorKind;
    if (memory.m_bitsPerSample == 1) {
        // Packed lines, the first pixel in the top bit of a byte.
        const int64_t lineBytes = (int64_t{memory.m_rowLength} * memory.m_samplesPerPixel + 7) / 8;
        const int64_t at = lineBytes * image.y + image.x / 8;
        if (image.x < 0 || image.y < 0 || image.x >= memory.m_rowLength ||
            at >= static_cast<int64_t>(memory.m_buffer.size()))
            return;
        m_value = memory.ModalityValue((memory.m_buffer[size_t(at)] >> (7 - image.x % 8)) & 1);
        return;
    }
    const int64_t read = kind == ZEBImageMemory::kCmyk                                    ? 4
                         : kind == ZEBImageMemory::kRgb || kind == ZEBImageMemory::kYCbCr ? 3
                                                                                          : 1;
    const int64_t spp = memory.m_samplesPerPixel;
    const int64_t sampleBytes = memory.m_bitsPerSample <= 8    ? 1
                                : memory.m_bitsPerSample <= 16 ? 2
                                                               : 4;
    const uint64_t samples = memory.m_buffer.size() / static_cast<uint64_t>(sampleBytes);
    // Only a pixel of the image whose every sample read lies in the buffer.
    if (image.x < 0 || image.y < 0 || image.x >= memory.m_rowLength || spp < read) return;
    const int64_t index = (int64_t{memory.m_rowLength} * image.y + image.x) * spp;
    if (static_cast<uint64_t>(index) + static_cast<uint64_t>(read) > samples) return;
    const uint64_t i = static_cast<uint64_t>(index);
    switch (kind) {
        case ZEBImageMemory::kRgb:
            m_red = double(ReadSample(memory, i, false));
            m_green = double(ReadSample(memory, i + 1, false));
            m_blue = double(ReadSample(memory, i + 2, false));
            m_isColour = 1;
            break;
        case ZEBImageMemory::kCmyk: {
            const Rgb rgb =
                CmykToRgb(ReadSample(memory, i, false), ReadSample(memory, i + 1, false),
                          ReadSample(memory, i + 2, false), ReadSample(memory, i + 3, false));
            m_red = rgb.red, m_green = rgb.green, m_blue = rgb.blue;
            m_isColour = 1;
            break;
        }
        case ZEBImageMemory::kYCbCr: {
            const Rgb rgb = YbrToRgb(double(ReadSample(memory, i, false)),
                                     double(ReadSample(memory, i + 1, false)),
                                     double(ReadSample(memory, i + 2, false)));
            m_red = rgb.red, m_green = rgb.green, m_blue = rgb.blue;
            m_isColour = 1;
            break;
        }
        default:
            m_value = memory.ModalityValue(double(ReadSample(memory, i, memory.m_signed != 0)));
            break;
    }
}

std::u16string CZEBOverlayPixelValue::FormatValue() const {
    std::u16string unit = m_rescaleType == u"US" ? std::u16string() : m_rescaleType;
    if (unit.empty() && m_sopClassUid == kCtImageStorage) unit = u"HU";
    std::u16string number;
    if (m_isColour)
        number = FormatText(u"(%.2f, %.2f, %.2f)", m_red, m_green, m_blue);
    else
        number = FormatText(u"%.2f", unit == u"OD" ? m_value / 1000.0 : m_value);
    return FormatText(u"%s %s", number.c_str(), unit.c_str());
}

void CZEBOverlayPixelValue::Place(Point p, platform::DeviceContext& dc, int32_t offsetX,
                                  int32_t offsetY, Point origin, double zoom) {
    (void)dc;
    const Rect r = GetImageRect(offsetX, offsetY, origin, zoom);
    if (r.contains(p))
        m_label = FormatValue();
    else
        p = ClampIntoRect(r, p);
    const int32_t w = m_labelWidth + 5, h = m_labelHeight + 5;
    int32_t x = p.x + w > r.right ? p.x - w : p.x + 5;
    int32_t y;
    if (p.y + h > r.bottom) {
        x += 32;
        y = p.y - h;
        if (x + w > r.right) x -= w;
    } else {
        y = p.y + 5;
    }
    m_labelPos = {x, y};
    m_shown = 1;
}

void CZEBOverlayPixelValue::Draw(platform::DeviceContext& dc) {
    CZEBFont font;
    font.Create(SettingsInstance().PixelValueFont(), dc);
    ZEBSelectFont selected(dc, font.Get());
    const ZEBTextSize size =
        MeasureText(dc, m_label, platform::kTextExpandTabs | platform::kTextSingleLine);
    m_labelWidth = size.width;
    m_labelHeight = size.height;
    DrawLabel(dc, m_labelPos, m_labelWidth, m_labelHeight, m_label);
}
