// Feeds arbitrary value bytes through the character-set conversion. The first
// byte chooses the Specific Character Set: one of the list below, or (top bit
// set) the text up to the first NUL byte of the input. The value bytes are
// also read as wide text by the number parsers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dicomlib/togcharset.h"
#include "dicomlib/togdicomvr.h"
#include "dicomlib/togstring.h"

namespace {

const char16_t* const kCharsets[] = {
    u"",
    u"ISO_IR 100",
    u"ISO_IR 13",
    u"ISO_IR 192",
    u"GB18030",
    u"\\ISO 2022 IR 87",
    u"ISO 2022 IR 13\\ISO 2022 IR 87",
    u"\\ISO 2022 IR 87\\ISO 2022 IR 159",
    u"\\ISO 2022 IR 149",
    u"\\ISO 2022 IR 58",
    u"\\ISO 2022 IR 171\\ISO 2022 IR 172",
    u"ISO 2022 IR 100\\ISO 2022 IR 126\\ISO 2022 IR 144",
    u"ISO 2022 IR 6\\ISO 2022 IR 166",
    u"ISO 2022 IR 87",
    u"BAD\\ISO_IR 144",
    u"ISO_IR 166",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    ++data;
    --size;
    TogString charset;
    if (selector & 0x80) {
        const void* nul = std::memchr(data, 0, size);
        const size_t n = nul != nullptr ? static_cast<const uint8_t*>(nul) - data : size;
        charset = TogString::FromBytes(reinterpret_cast<const char*>(data), n);
        data += n < size ? n + 1 : n;
        size -= n < size ? n + 1 : n;
    } else {
        charset = TogString(kCharsets[selector % (sizeof(kCharsets) / sizeof(kCharsets[0]))]);
    }
    const uint32_t vr = (selector & 0x40) ? TogDicomLib::VR::LT : TogDicomLib::VR::PN;
    TogString out;
    TogDicomLib::ConvertDicomCharEncodeToUtf16(out, data, size, charset, vr, (selector & 0x20) != 0);
    // The result is a well-formed string.
    if (std::char_traits<char16_t>::length(out.GetString()) != out.GetLength()) __builtin_trap();

    std::vector<char16_t> wide(data, data + size);
    wide.push_back(0);
    const char16_t* end = nullptr;
    togutils::StrToDouble(wide.data(), &end);
    togutils::StrToLong(wide.data(), &end, 10);
    togutils::StrToULong(wide.data(), &end, 0);
    out.ToDouble();
    return 0;
}
