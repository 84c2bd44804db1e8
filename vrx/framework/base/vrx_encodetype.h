#pragma once
// Encodings: one static object per kind, compared by address. Engines accept
// only raw data in their line buffers; the other kinds label compressed data
// read from storages.
#include <cstdint>

namespace vrx {

class VRX_EncodeType {
public:
    virtual ~VRX_EncodeType() = default;
    virtual const char* name() const = 0;
    virtual int32_t id() const = 0;

    static const VRX_EncodeType* raw();
    static const VRX_EncodeType* mh();
    static const VRX_EncodeType* mr();
    static const VRX_EncodeType* mmr();
    static const VRX_EncodeType* pack_bits();
    static const VRX_EncodeType* byte_encode();
    static const VRX_EncodeType* win_rle8();
    static const VRX_EncodeType* win_rle4();
    static const VRX_EncodeType* qm_rle();
    static const VRX_EncodeType* qm_rle_be();
    static const VRX_EncodeType* qm_rlc();
    static const VRX_EncodeType* qm_rlc_be();
    static const VRX_EncodeType* qm_rlen();
    static const VRX_EncodeType* qm_rlen_be();
    static const VRX_EncodeType* lzw();
    static const VRX_EncodeType* flate();
    static const VRX_EncodeType* jbig();
    static const VRX_EncodeType* jbig2();
    static const VRX_EncodeType* jbigcolor();
    static const VRX_EncodeType* jpeg();
    static const VRX_EncodeType* jpeg2000();
    static const VRX_EncodeType* qm_mrcs();
    static const VRX_EncodeType* qm_mrct();
    static const VRX_EncodeType* ascii85();
    static const VRX_EncodeType* asciihex();
    static const VRX_EncodeType* base64();
    static const VRX_EncodeType* unknown();

    bool is_raw() const { return this == raw(); }

protected:
    VRX_EncodeType() = default;
    VRX_EncodeType(const VRX_EncodeType&) = delete;
    VRX_EncodeType& operator=(const VRX_EncodeType&) = delete;
};

}  // namespace vrx
