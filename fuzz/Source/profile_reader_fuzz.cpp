// The ini reader over arbitrary bytes (any encoding it guesses), then every
// value it found (none longer than the reader keeps) laid out and drawn as
// text in a small box, with flags taken from the value's length.
#include <cstddef>
#include <cstdint>

#include "platform/device_context.h"
#include "platform/draw_text.h"
#include "platform/profile_reader.h"
#include "platform/text_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::ProfileReader reader;
    reader.parse(data, size);
    platform::FixedCellFont font(3, 5, 4);
    platform::Bitmap canvas(24, 16);
    platform::DeviceContext dc(&canvas);
    dc.select_font(&font);
    dc.set_background_mode(platform::BackgroundMode::opaque);
    for (const std::u16string& section : reader.sections()) {
        for (const std::u16string& key : reader.keys(section)) {
            const std::u16string value = reader.get_string(section, key, u"");
            // Nothing longer than a face name may be is kept.
            if (section.size() > reader.kMaxNameChars || key.size() > reader.kMaxNameChars ||
                value.size() > reader.kMaxNameChars)
                __builtin_trap();
            if (reader.get_int(section, key, 0) == 0x7FFFFFFF) canvas.fill(platform::kWhite);
            const uint32_t flags = static_cast<uint32_t>(value.size() * 2654435761u) & 0x7FF;
            platform::Rect box{-2, 1, 20, 12};
            platform::DrawText(dc, value, box, flags);
        }
    }
    reader.get_string(u"Font", u"StringsFaceName", u"MS UI Gothic");
    return 0;
}
