#pragma once
// The single-thread relation: the registered engines and the reference counts
// of the library's objects.
#include "vrx/framework/manager/vrx_dependmap.h"
#include "vrx/framework/manager/vrx_engdsttable.h"
#include "vrx/framework/manager/vrx_relation.h"

namespace vrx {

class VRX_Manager;

class VRX_RelationForST : public VRX_Relation {
public:
    explicit VRX_RelationForST(VRX_Manager* manager);
    // Runs the same tear-down as execute, then frees the tables.
    ~VRX_RelationForST() override;

    // Destroys every engine still registered: engines without output first,
    // then the producers in buffer order. True.
    bool execute() override;
    void* query(const void* key, uint32_t kind) override;
    VRX_Engine* add(VRX_Engine* engine, VRX_DstBuffer* dst) override;
    bool remove(VRX_Engine* engine) override;
    VRX_Engine* find(VRX_DstBuffer* dst) override;
    bool depend(VRX_Object* object, VRX_Object* on) override;
    bool end(VRX_Object* object) override;

    VRX_Manager* manager() const { return manager_; }
    // Registered engines (no-output ones and producers).
    size_t engine_count() const;

private:
    VRX_Manager* manager_;
    VRX_EngDstTable eng_dst_table_;
    VRX_DependMap depend_map_;
};

}  // namespace vrx
