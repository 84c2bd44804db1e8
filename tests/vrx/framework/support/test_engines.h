#pragma once
// Small engines and creators that exercise the engine tree in tests: a
// pattern generator, a byte inverter (one line in, one line out), a line
// collector (no output) and a two-input byte adder.
#include <cstdint>
#include <vector>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_analyzelineengine.h"
#include "vrx/framework/engine/vrx_generateengine.h"
#include "vrx/framework/engine/vrx_multiinputprocessengine.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx_test {

using Lines = std::vector<std::vector<unsigned char>>;

// Byte x of line y of the pattern.
inline unsigned char pattern_byte(uint32_t x, uint32_t y) {
    return static_cast<unsigned char>(y * 31u + x * 7u + 1u);
}

// Lines of the pattern for a header.
inline Lines pattern_lines(const vrx::VRX_Header& header) {
    uint32_t bytes = 0;
    header.line_bytes(bytes);
    Lines lines(header.height, std::vector<unsigned char>(bytes));
    for (uint32_t y = 0; y < header.height; ++y)
        for (uint32_t x = 0; x < bytes; ++x) lines[y][x] = pattern_byte(x, y);
    return lines;
}

class PatternEngine : public vrx::VRX_GenerateEngine {
public:
    explicit PatternEngine(vrx::VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const vrx::VRX_Header* header, vrx::VRX_DstBuffer* dst) override {
        if (!check_version(vrx::VRX_INTERFACE_VERSION, "PatternEngine::initiate()", __FILE__,
                           __LINE__))
            return false;
        if (!VRX_GenerateEngine::initiate(header, dst)) return false;
        return header_.line_bytes(bytes_) && dst->block_bytes(bytes_);
    }
    bool execute() override {
        if (line_ >= header_.height) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        for (uint32_t x = 0; x < bytes_; ++x) out[x] = pattern_byte(x, line_);
        ++line_;
        return dst_buffer_->release(bytes_);
    }

private:
    uint32_t bytes_ = 0;
    uint32_t line_ = 0;
};

class PatternCreator : public vrx::VRX_EngineCreator {
public:
    explicit PatternCreator(vrx::VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    vrx::VRX_Engine* engine(const vrx::VRX_Header* header) {
        vrx::VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<PatternEngine>(
            nullptr, dst, [&](PatternEngine* e) { return e->initiate(header, dst); });
    }
};

class InvertEngine : public vrx::VRX_ProcessLineToLineEngine {
public:
    explicit InvertEngine(vrx::VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    bool initiate(const vrx::VRX_Header* header, vrx::VRX_SrcBuffer* src, vrx::VRX_DstBuffer* dst,
                  uint32_t version) {
        if (!check_version(version, "InvertEngine::initiate()", __FILE__, __LINE__)) return false;
        if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
        return header_.line_bytes(bytes_) && dst->block_bytes(bytes_);
    }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override {
        for (uint32_t x = 0; x < bytes_; ++x) dst[x] = static_cast<unsigned char>(~src[x]);
        return true;
    }

private:
    uint32_t bytes_ = 0;
};

class InvertCreator : public vrx::VRX_EngineCreator {
public:
    explicit InvertCreator(vrx::VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    vrx::VRX_Engine* engine(vrx::VRX_Engine* input, uint32_t version = vrx::VRX_INTERFACE_VERSION) {
        if (!input) {
            manager_->report(vrx::VRX_ERROR_ARGUMENT, "InvertCreator::engine()", __FILE__,
                             __LINE__);
            return nullptr;
        }
        vrx::VRX_SrcBuffer* src = input->src_buffer();
        vrx::VRX_DstBuffer* dst = manager_->new_dst_buffer();
        const vrx::VRX_Header* header = input->header();
        return make_engine<InvertEngine>(
            src, dst, [&](InvertEngine* e) { return e->initiate(header, src, dst, version); });
    }
};

class CollectEngine : public vrx::VRX_AnalyzeLineEngine {
public:
    explicit CollectEngine(vrx::VRX_Manager* manager) : VRX_AnalyzeLineEngine(manager) {}
    bool initiate(const vrx::VRX_Header* header, vrx::VRX_SrcBuffer* src, Lines* out) {
        if (!VRX_AnalyzeLineEngine::initiate(header, src)) return false;
        out_ = out;
        return header->line_bytes(bytes_);
    }

protected:
    bool analyze_line(const unsigned char* src) override {
        out_->emplace_back(src, src + bytes_);
        return true;
    }

private:
    Lines* out_ = nullptr;
    uint32_t bytes_ = 0;
};

class CollectCreator : public vrx::VRX_EngineCreator {
public:
    explicit CollectCreator(vrx::VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    vrx::VRX_Engine* engine(vrx::VRX_Engine* input, Lines* out) {
        if (!input) {
            manager_->report(vrx::VRX_ERROR_ARGUMENT, "CollectCreator::engine()", __FILE__,
                             __LINE__);
            return nullptr;
        }
        vrx::VRX_SrcBuffer* src = input->src_buffer();
        const vrx::VRX_Header* header = input->header();
        return make_engine<CollectEngine>(
            src, nullptr, [&](CollectEngine* e) { return e->initiate(header, src, out); });
    }
};

// Adds the bytes of every input line (modulo 256).
class AddEngine : public vrx::VRX_MultiInputProcessEngine {
public:
    explicit AddEngine(vrx::VRX_Manager* manager) : VRX_MultiInputProcessEngine(manager) {}
    bool initiate(const vrx::VRX_Vector<const vrx::VRX_Header*>& headers,
                  const vrx::VRX_Vector<vrx::VRX_SrcBuffer*>& sources,
                  vrx::VRX_DstBuffer* dst) override {
        if (!VRX_MultiInputProcessEngine::initiate(headers, sources, dst)) return false;
        if (!header_.line_bytes(bytes_)) return false;
        for (size_t i = 0; i < size(); ++i)
            if (!src_buffer(i)->block_bytes(bytes_)) return false;
        return dst->block_bytes(bytes_);
    }
    bool execute() override {
        if (line_ >= header_.height) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        bool ok = true;
        for (uint32_t x = 0; x < bytes_; ++x) out[x] = 0;
        for (size_t i = 0; i < size() && ok; ++i) {
            const unsigned char* in = src_buffer(i)->get();
            ok = in != nullptr;
            if (!ok) break;
            for (uint32_t x = 0; x < bytes_; ++x)
                out[x] = static_cast<unsigned char>(out[x] + in[x]);
            ok = src_buffer(i)->release();
        }
        ++line_;
        return dst_buffer_->release(ok ? bytes_ : 0) && ok;
    }

private:
    uint32_t bytes_ = 0;
    uint32_t line_ = 0;
};

class AddCreator : public vrx::VRX_EngineCreator {
public:
    explicit AddCreator(vrx::VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    vrx::VRX_Engine* engine(vrx::VRX_Engine* a, vrx::VRX_Engine* b) {
        vrx::VRX_Vector<const vrx::VRX_Header*> headers(manager_);
        vrx::VRX_Vector<vrx::VRX_SrcBuffer*> sources(manager_);
        for (vrx::VRX_Engine* input : {a, b}) {
            if (!input) continue;
            vrx::VRX_SrcBuffer* src = input->src_buffer();
            if (!sources.push_back(src)) {
                vrx::destroy(src);
                continue;
            }
            headers.push_back(input->header());
        }
        vrx::VRX_DstBuffer* dst = manager_->new_dst_buffer();
        AddEngine* engine = vrx::construct<AddEngine>(manager_);
        if (engine && engine->initiate(headers, sources, dst)) {
            engine->set_initiated();
            return regist_engine(engine, nullptr, dst);
        }
        vrx::destroy(engine);
        return regist_engine_n(nullptr, sources, dst);
    }
};

// Runs `last` until it stops; the number of steps.
inline int run_to_end(vrx::VRX_Engine* last, int limit = 1 << 20) {
    int steps = 0;
    while (steps < limit && last->execute()) ++steps;
    return steps;
}

// The lines with every byte complemented, or doubled (modulo 256).
inline Lines inverted(Lines lines) {
    for (auto& line : lines)
        for (auto& b : line) b = static_cast<unsigned char>(~b);
    return lines;
}
inline Lines doubled(Lines lines) {
    for (auto& line : lines)
        for (auto& b : line) b = static_cast<unsigned char>(b * 2);
    return lines;
}

// A raw gray header of `bits`-bit samples.
inline void raw_gray(vrx::VRX_Header& header, uint32_t width, uint32_t height, uint16_t bits) {
    header.width = width;
    header.height = height;
    header.bits = bits;
    header.channels = 1;
    header.color_type(vrx::VRX_ColorType::gray());
}
inline void gray8(vrx::VRX_Header& header, uint32_t width, uint32_t height) {
    raw_gray(header, width, height, 8);
}
inline void gray16(vrx::VRX_Header& header, uint32_t width, uint32_t height) {
    raw_gray(header, width, height, 16);
}

}  // namespace vrx_test
