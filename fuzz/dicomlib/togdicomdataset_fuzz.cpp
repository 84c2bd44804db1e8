// Feeds arbitrary bytes to the data-set reader and reads every value of the
// resulting tree. The first byte chooses how the bytes are opened:
//   bits 0-1  0 PS3.10 file, 1 bare data set, 2 fixed-layout stream
//   bits 2-3  source: 0 memory, 1 callbacks with the size, 2 callbacks
//             without it, 3 a copied memory buffer
//   bit 4     skip private sequences
//   bits 5-6  UN-sequence mode (1 implicit, 2 enclosing, else detect)
//   bit 7     keep odd lengths
// The second byte picks the transfer syntax of a bare data set; its bit 7
// has the frames of encapsulated pixel data located by their offset table.
#include <cstddef>
#include <cstdint>

#include "dicomlib/togdicomdataset.h"
#include "tests/dicomlib/dataset_sources.h"

namespace {

const char16_t* const kSyntaxes[] = {
    u"1.2.840.10008.1.2",      u"1.2.840.10008.1.2.1",    u"1.2.840.10008.1.2.2",
    u"1.2.840.10008.1.2.4.70", u"1.2.840.10008.1.2.1.99", u"",
};

void Visit(const TogDicomDataElement& e) {
    TogString text;
    uint32_t u;
    int32_t i;
    double d;
    e.GetText(text, TogDicomLib::VR::Blank, -1);
    if (std::char_traits<char16_t>::length(text.GetString()) > text.GetLength()) __builtin_trap();
    e.GetText(text, TogDicomLib::VR::Blank, 1);
    e.GetUInt(u);
    e.GetInt(i, TogDicomLib::VR::Blank, 1);
    e.GetDouble(d);
    e.GetValueCount();
    for (uint32_t n = 0; n < e.GetChildCount(); ++n) {
        const TogDicomDataElement* child = e.GetChildAt(n);
        if (child == nullptr || child->GetParent() != &e) __builtin_trap();
        Visit(*child);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t mode = data[0];
    const TogString syntax(kSyntaxes[data[1] % (sizeof(kSyntaxes) / sizeof(kSyntaxes[0]))]);
    const bool byTable = (data[1] & 0x80) != 0;
    data += 2;
    size -= 2;

    TogDicomDatasetSettings settings;
    settings.skipPrivateSequences = (mode >> 4) & 1;
    settings.unSequenceMode = (mode >> 5) & 3;
    TogDicomDataset ds(&settings);
    ds.SetKeepOddLengths((mode & 0x80) != 0);
    ds.SetFramesByOffsetTable(byTable);

    dataset_sources::VectorSource source{std::vector<uint8_t>(data, data + size)};
    TogDicomSource from;
    switch ((mode >> 2) & 3) {
        case 1: from = source.Callbacks(true); break;
        case 2: from = source.Callbacks(false); break;
        default: from = TogDicomSource::FromMemory(data, size, ((mode >> 2) & 3) == 3); break;
    }
    switch (mode & 3) {
        case 0: ds.OpenReadingFile(from, true, TogString(), 1); break;
        case 1: ds.OpenReadingFile(from, false, syntax, 1); break;
        default: ds.OpenReading(from, 1); break;
    }
    Visit(*ds.GetRoot());
    return 0;
}
