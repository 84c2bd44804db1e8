#include "vrx/core/scale/vrx_scalewidthnnqmrleengine.h"

#include <cmath>

#include "vrx/core/qmrle/vrx_qmrlebuffer.h"

namespace vrx {

namespace {
// floor(v + 0.5) as a column, held at 0xFFFFFFFF (only the ends of runs past
// the source width get there).
uint32_t mapped_end(double v) {
    const double r = std::floor(v + 0.5);
    return r >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(r);
}
}  // namespace

bool VRX_ScaleWidthNNQMRLEEngine::execute() {
    if (next_ >= line_count_) return false;
    out_.clear();
    const bool enlarging = ratio_ > 1.0;
    bool pending = false;
    uint32_t ps = 0, pe = 0;
    for (auto it = buffer_->line_begin(next_), end = buffer_->line_end(next_); it != end; ++it) {
        const uint32_t s = mapped_end((*it).first * ratio_);
        const uint32_t e = mapped_end(((*it).second + 1.0) * ratio_);
        if (enlarging) {
            if (!out_.append_run(s, e - 1)) return false;
        } else if (s < e) {
            if (pending && s <= pe) {
                if (e > pe) pe = e;
                continue;
            }
            if (pending && !out_.append_run(ps, pe - 1)) return false;
            pending = true;
            ps = s;
            pe = e;
        }
    }
    if (pending && !out_.append_run(ps, pe - 1)) return false;
    ++next_;
    return out_.write_runarray(dst_buffer_);
}

}  // namespace vrx
