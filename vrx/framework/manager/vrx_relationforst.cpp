#include "vrx/framework/manager/vrx_relationforst.h"

#include "vrx/framework/engine/vrx_engine.h"

namespace vrx {

VRX_RelationForST::VRX_RelationForST(VRX_Manager* manager)
    : manager_(manager), eng_dst_table_(manager), depend_map_(manager) {}

VRX_RelationForST::~VRX_RelationForST() { execute(); }

bool VRX_RelationForST::execute() {
    auto& writers = eng_dst_table_.no_output_engines;
    while (!writers.empty()) {
        VRX_Engine* engine = writers.front();
        engine->destroy();
        // An engine that did not leave the table by itself is taken out here.
        if (!writers.empty() && writers.front() == engine) writers.pop_front();
    }
    auto& producers = eng_dst_table_.producers;
    while (!producers.empty()) {
        VRX_DstBuffer* dst = producers.begin()->first;
        VRX_Engine* engine = producers.begin()->second;
        engine->destroy();
        if (VRX_Engine** left = producers.get(dst); left && *left == engine) producers.erase(dst);
    }
    return true;
}

void* VRX_RelationForST::query(const void*, uint32_t) { return nullptr; }

VRX_Engine* VRX_RelationForST::add(VRX_Engine* engine, VRX_DstBuffer* dst) {
    if (!engine) return nullptr;
    if (!dst) return eng_dst_table_.no_output_engines.push_back(engine) ? engine : nullptr;
    return eng_dst_table_.producers.insert(dst, engine) ? engine : nullptr;
}

bool VRX_RelationForST::remove(VRX_Engine* engine) {
    if (eng_dst_table_.no_output_engines.remove_first(engine)) return true;
    auto& producers = eng_dst_table_.producers;
    for (auto it = producers.begin(); it != producers.end(); ++it) {
        if (it->second == engine) {
            producers.erase(it);
            return true;
        }
    }
    return false;
}

VRX_Engine* VRX_RelationForST::find(VRX_DstBuffer* dst) {
    VRX_Engine** engine = eng_dst_table_.producers.get(dst);
    return engine ? *engine : nullptr;
}

bool VRX_RelationForST::depend(VRX_Object* object, VRX_Object* on) {
    return depend_map_.depend(object, on);
}

bool VRX_RelationForST::end(VRX_Object* object) { return depend_map_.end(object); }

size_t VRX_RelationForST::engine_count() const {
    return eng_dst_table_.no_output_engines.size() + eng_dst_table_.producers.size();
}

}  // namespace vrx
