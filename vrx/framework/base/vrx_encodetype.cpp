#include "vrx/framework/base/vrx_encodetype.h"

namespace vrx {
namespace {

class VRX_EncodeTypeKind final : public VRX_EncodeType {
public:
    constexpr VRX_EncodeTypeKind(const char* name, int32_t id) : name_(name), id_(id) {}
    const char* name() const override { return name_; }
    int32_t id() const override { return id_; }

private:
    const char* name_;
    int32_t id_;
};

constinit const VRX_EncodeTypeKind k_raw("raw", 0);
constinit const VRX_EncodeTypeKind k_mh("mh", 100);
constinit const VRX_EncodeTypeKind k_mr("mr", 120);
constinit const VRX_EncodeTypeKind k_mmr("mmr", 140);
constinit const VRX_EncodeTypeKind k_pack_bits("pack_bits", 200);
constinit const VRX_EncodeTypeKind k_byte_encode("byte_encode", 220);
constinit const VRX_EncodeTypeKind k_win_rle8("win_rle8", 300);
constinit const VRX_EncodeTypeKind k_win_rle4("win_rle4", 310);
constinit const VRX_EncodeTypeKind k_qm_rle("qm_rle", 320);
constinit const VRX_EncodeTypeKind k_qm_rle_be("qm_rle_be", 322);
constinit const VRX_EncodeTypeKind k_qm_rlc("qm_rlc", 330);
constinit const VRX_EncodeTypeKind k_qm_rlc_be("qm_rlc_be", 332);
constinit const VRX_EncodeTypeKind k_qm_rlen("qm_rlen", 340);
constinit const VRX_EncodeTypeKind k_qm_rlen_be("qm_rlen_be", 342);
constinit const VRX_EncodeTypeKind k_lzw("lzw", 400);
constinit const VRX_EncodeTypeKind k_flate("flate", 420);
constinit const VRX_EncodeTypeKind k_jbig("jbig", 1000);
constinit const VRX_EncodeTypeKind k_jbig2("jbig2", 1020);
constinit const VRX_EncodeTypeKind k_jbigcolor("jbigcolor", 1040);
constinit const VRX_EncodeTypeKind k_jpeg("jpeg", 2000);
constinit const VRX_EncodeTypeKind k_jpeg2000("jpeg2000", 2020);
constinit const VRX_EncodeTypeKind k_qm_mrcs("qm_mrcs", 8000);
constinit const VRX_EncodeTypeKind k_qm_mrct("qm_mrct", 8020);
constinit const VRX_EncodeTypeKind k_ascii85("ascii85", 10000);
constinit const VRX_EncodeTypeKind k_asciihex("asciihex", 10020);
constinit const VRX_EncodeTypeKind k_base64("base64", 10040);
constinit const VRX_EncodeTypeKind k_unknown("unknown", -1);

}  // namespace

const VRX_EncodeType* VRX_EncodeType::raw() { return &k_raw; }
const VRX_EncodeType* VRX_EncodeType::mh() { return &k_mh; }
const VRX_EncodeType* VRX_EncodeType::mr() { return &k_mr; }
const VRX_EncodeType* VRX_EncodeType::mmr() { return &k_mmr; }
const VRX_EncodeType* VRX_EncodeType::pack_bits() { return &k_pack_bits; }
const VRX_EncodeType* VRX_EncodeType::byte_encode() { return &k_byte_encode; }
const VRX_EncodeType* VRX_EncodeType::win_rle8() { return &k_win_rle8; }
const VRX_EncodeType* VRX_EncodeType::win_rle4() { return &k_win_rle4; }
const VRX_EncodeType* VRX_EncodeType::qm_rle() { return &k_qm_rle; }
const VRX_EncodeType* VRX_EncodeType::qm_rle_be() { return &k_qm_rle_be; }
const VRX_EncodeType* VRX_EncodeType::qm_rlc() { return &k_qm_rlc; }
const VRX_EncodeType* VRX_EncodeType::qm_rlc_be() { return &k_qm_rlc_be; }
const VRX_EncodeType* VRX_EncodeType::qm_rlen() { return &k_qm_rlen; }
const VRX_EncodeType* VRX_EncodeType::qm_rlen_be() { return &k_qm_rlen_be; }
const VRX_EncodeType* VRX_EncodeType::lzw() { return &k_lzw; }
const VRX_EncodeType* VRX_EncodeType::flate() { return &k_flate; }
const VRX_EncodeType* VRX_EncodeType::jbig() { return &k_jbig; }
const VRX_EncodeType* VRX_EncodeType::jbig2() { return &k_jbig2; }
const VRX_EncodeType* VRX_EncodeType::jbigcolor() { return &k_jbigcolor; }
const VRX_EncodeType* VRX_EncodeType::jpeg() { return &k_jpeg; }
const VRX_EncodeType* VRX_EncodeType::jpeg2000() { return &k_jpeg2000; }
const VRX_EncodeType* VRX_EncodeType::qm_mrcs() { return &k_qm_mrcs; }
const VRX_EncodeType* VRX_EncodeType::qm_mrct() { return &k_qm_mrct; }
const VRX_EncodeType* VRX_EncodeType::ascii85() { return &k_ascii85; }
const VRX_EncodeType* VRX_EncodeType::asciihex() { return &k_asciihex; }
const VRX_EncodeType* VRX_EncodeType::base64() { return &k_base64; }
const VRX_EncodeType* VRX_EncodeType::unknown() { return &k_unknown; }

}  // namespace vrx
