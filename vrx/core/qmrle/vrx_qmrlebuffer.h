#pragma once
// A whole run-length image in memory: at the first access to a line the
// buffer reads its source to the last line and keeps every line as a vector
// of runs; engines then view the lines through VRX_QMRLERunLine without
// copying them.
#include <cstdint>

#include "vrx/core/qmrle/vrx_qmrlebufferbase.h"
#include "vrx/core/qmrle/vrx_qmrlerunline.h"

namespace vrx {

class VRX_QMRLEBuffer : public VRX_QMRLEBufferBase {
public:
    using Runs = VRX_QMRLERunLine::Runs;

    explicit VRX_QMRLEBuffer(VRX_Manager* manager);
    ~VRX_QMRLEBuffer() override = default;

    // Made through the manager and initiated; null when either fails.
    static VRX_QMRLEBuffer* create(VRX_Manager* manager, VRX_SrcBuffer* src,
                                   const VRX_Header* header);

    // The base's initiate; the line count is the header's height. Nothing is
    // read yet.
    bool initiate(VRX_SrcBuffer* src, const VRX_Header* header) override;

    uint32_t line_count() const { return line_count_; }
    // Line i positioned at its first run or just past its last. The first
    // call reads the whole source; after a failed read the lines read before
    // the failure are kept and any other line is a line of no runs.
    VRX_QMRLERunLine line_begin(uint32_t i);
    VRX_QMRLERunLine line_end(uint32_t i);

protected:
    // Reads the source into the lines. A block that is not whole pairs or is
    // missing, and a run outside the line, reversed or not behind the run
    // before it are data errors (0x80400000).
    bool regist_runarray();

private:
    // Line i, after the first access has read the source; null when the
    // buffer does not hold it.
    const Runs* line(uint32_t i);
    // Checks and appends the pairs [from, to) of the data block to `runs`.
    bool append_pairs(Runs& runs, uint32_t from, uint32_t to, uint32_t report_line);

    VRX_Vector<Runs> lines_;
    uint32_t line_count_ = 0;
    bool registered_ = false;
};

}  // namespace vrx
