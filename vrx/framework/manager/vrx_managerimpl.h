#pragma once
// The manager under which every imaging job runs: memory (MM, embedded),
// first-error record (EH), destination-buffer policy (WF) and the relation the
// workflow makes. Made on the caller's stack for one job:
//
//   VRX_DefaultManager manager;
//   ... creators build a chain, the caller runs the last engine's execute
//   until it returns false ...
//   VRX_Status status(&manager);
//   bool ok = manager.execute(status);  // tears the chain down
//
// The parts are made through the manager's own allocate; any of them may be
// missing when memory ran out, and every forwarding operation copes with that.
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/buffer/vrx_dstbufferbase.h"
#include "vrx/framework/buffer/vrx_dstbufferproxy.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_blockworkflow.h"
#include "vrx/framework/manager/vrx_firsterrorhandler.h"
#include "vrx/framework/manager/vrx_mallocmemorymanager.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class MM, class EH, class WF>
class VRX_ManagerImpl : public VRX_Manager {
public:
    VRX_ManagerImpl() {
        error_handler_ = make_part<EH>();
        workflow_ = make_part<WF>();
        if (workflow_) relation_ = workflow_->create_relation();
    }
    VRX_ManagerImpl(const VRX_ManagerImpl&) = delete;
    VRX_ManagerImpl& operator=(const VRX_ManagerImpl&) = delete;
    ~VRX_ManagerImpl() override {
        release_part(relation_);
        release_part(workflow_);
        release_part(error_handler_);
    }

    // ---- memory ----
    void* allocate(size_t bytes) override { return reported(memory_manager_.allocate(bytes)); }
    void* allocate_zeroed(size_t bytes) override { return reported(memory_manager_.allocate_zeroed(bytes)); }
    void deallocate(void* memory) override { memory_manager_.deallocate(memory); }

    bool execute(VRX_Status& out) override {
        out = status();
        if (relation_) relation_->execute();
        if (out.code == VRX_SUCCESS) {
            out = status();
        } else if (!is_error(out.code) && is_warning(out.code)) {
            const VRX_Status now = status();
            if (is_error(now.code)) out = now;
        }
        if (error_handler_) error_handler_->reset();
        return !is_error(out.code);
    }

    bool run(VRX_DstBuffer* dst) override {
        if (!workflow_ || !relation_) return false;
        VRX_Engine* engine = relation_->find(dst);
        return engine ? workflow_->run_engine(engine) : false;
    }

    // ---- error handler ----
    // Without a handler (its memory ran out) the job has failed: the status
    // answers 0x80010000 so that no engine ever counts as good.
    VRX_Status status() override {
        if (error_handler_) return error_handler_->status();
        return VRX_Status(this, VRX_ERROR_OUT_OF_MEMORY, "VRX_ManagerImpl::VRX_ManagerImpl()",
                          "vrx_managerimpl", 0);
    }
    void report(uint32_t code, const char* function, const char* file, uint32_t line) override {
        if (error_handler_) error_handler_->report(code, function, file, line);
    }
    using VRX_Manager::report;
    bool reset() override { return error_handler_ ? error_handler_->reset() : false; }

    // ---- workflow ----
    VRX_DstBuffer* new_dst_buffer() override {
        return workflow_ ? workflow_->new_dst_buffer() : nullptr;
    }
    uint32_t block_bytes() override { return workflow_ ? workflow_->block_bytes() : 0; }

    // ---- relation ----
    bool execute() override {
        VRX_Status ignored(this);
        return execute(ignored);
    }
    void* query(const void* key, uint32_t kind) override {
        return relation_ ? relation_->query(key, kind) : nullptr;
    }
    // Registers the engine; a proxy destination is bound to the real buffer
    // the workflow makes for the engine's output.
    VRX_Engine* add(VRX_Engine* engine, VRX_DstBuffer* dst) override {
        if (!workflow_ || !relation_) return nullptr;
        if (!relation_->add(engine, dst)) return nullptr;
        if (!dst) return engine;
        if (auto* proxy = dynamic_cast<VRX_DstBufferProxy*>(dst)) {
            VRX_DstBufferBase* target = workflow_->create_dst_buffer(engine);
            if (!target) return nullptr;
            if (!proxy->set_target(target)) {
                target->destroy();
                return nullptr;
            }
        }
        return engine;
    }
    bool remove(VRX_Engine* engine) override {
        return relation_ ? relation_->remove(engine) : false;
    }
    VRX_Engine* find(VRX_DstBuffer* dst) override {
        return relation_ ? relation_->find(dst) : nullptr;
    }
    bool depend(VRX_Object* object, VRX_Object* on) override {
        return relation_ ? relation_->depend(object, on) : false;
    }
    // Without a relation nothing can depend on an object, so its owner's
    // release deletes it at once (rather than leaking it).
    bool end(VRX_Object* object) override {
        if (relation_) return relation_->end(object);
        if (!object) return false;
        const bool ok = object->terminate();
        release_part(object);
        return ok;
    }

    // ---- parts ----
    MM& memory_manager() { return memory_manager_; }
    EH* error_handler() const { return error_handler_; }
    WF* workflow() const { return workflow_; }
    VRX_Relation* relation() const { return relation_; }

private:
    // Memory from the embedded memory; when there is none, the failure is
    // reported.
    void* reported(void* memory) {
        if (!memory)
            report(VRX_ERROR_OUT_OF_MEMORY, "VRX_ManagerImpl::allocate()", "vrx_managerimpl", 62);
        return memory;
    }
    // Makes one part in the manager's memory (null when it runs out).
    template <class T>
    T* make_part() {
        void* memory = VRX_ManagerImpl::allocate(sizeof(T));
        return memory ? ::new (memory) T(this) : nullptr;
    }
    // Destroys one part and gives its memory straight to the embedded memory.
    template <class T>
    void release_part(T*& part) {
        if (!part) return;
        void* memory = dynamic_cast<void*>(part);
        part->~T();
        memory_manager_.deallocate(memory);
        part = nullptr;
    }

    MM memory_manager_;
    EH* error_handler_ = nullptr;
    WF* workflow_ = nullptr;
    VRX_Relation* relation_ = nullptr;
};

// The one manager the system builds.
using VRX_DefaultManager =
    VRX_ManagerImpl<VRX_MallocMemoryManager, VRX_FirstErrorHandler, VRX_BlockWorkflow>;

extern template class VRX_ManagerImpl<VRX_MallocMemoryManager, VRX_FirstErrorHandler,
                                      VRX_BlockWorkflow>;

}  // namespace vrx
