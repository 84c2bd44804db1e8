#pragma once
// Input side of engines with several sources: a copy of every input header
// and the source buffers, in input order.
#include <cstddef>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_Manager;
class VRX_SrcBuffer;

class VRX_NBuffersInputEngine {
public:
    explicit VRX_NBuffersInputEngine(VRX_Manager* manager);
    VRX_NBuffersInputEngine(const VRX_NBuffersInputEngine&) = delete;
    VRX_NBuffersInputEngine& operator=(const VRX_NBuffersInputEngine&) = delete;
    // Gives back header copies still held.
    virtual ~VRX_NBuffersInputEngine();

    // As many non-null sources as non-null headers (at least one), every
    // header valid; keeps copies of the headers and the sources. 0x80800000
    // otherwise.
    virtual bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                          const VRX_Vector<VRX_SrcBuffer*>& sources);
    // Destroys the header copies, and the sources when `release_sources`.
    virtual bool terminate(bool release_sources);

    size_t size() const { return src_buffers_.size(); }
    // Input i's kept header and source buffer (null when i is out of range).
    const VRX_Header* header(size_t i) const;
    VRX_SrcBuffer* src_buffer(size_t i) const;

protected:
    VRX_Manager* inputs_manager_;
    VRX_Vector<VRX_Header*> headers_;
    VRX_Vector<VRX_SrcBuffer*> src_buffers_;
};

}  // namespace vrx
