#pragma once
// Reads another input storage with the two bytes of every 16-bit word
// exchanged, the words counted from the wrapped storage's position 0; an odd
// last byte stays as it is. Positions, sizes and movements are the wrapped
// storage's. DICOM explicit VR big endian stores the 8-bit and 1-bit samples
// of OW Pixel Data in such words, most significant byte first:
//
//   // `value`: a window over exactly the Pixel Data value.
//   VRX_WordSwapInputStorage* samples = VRX_WordSwapInputStorage::create(manager, value);
#include "vrx/framework/io/vrx_inputstoragedecorator.h"

namespace vrx {

class VRX_WordSwapInputStorage : public VRX_InputStorageDecorator {
public:
    explicit VRX_WordSwapInputStorage(VRX_Manager* manager) : VRX_InputStorageDecorator(manager) {}
    ~VRX_WordSwapInputStorage() override = default;

    // A reader over `storage`; null when it is refused.
    static VRX_WordSwapInputStorage* create(VRX_Manager* manager, VRX_InputStorage* storage);

    // The byte at the position after the exchange; -1 at the end.
    int32_t get() override;
    // Up to n bytes from the position after the exchange; the bytes read.
    // Reading from an odd position reads the word's first byte again, so the
    // wrapped storage must move backwards.
    int32_t read(void* buffer, int32_t n) override;
};

}  // namespace vrx
