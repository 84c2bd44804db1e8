#include "vrx/framework/manager/vrx_status.h"

#include <cstring>

namespace vrx {
namespace {

void copy_text(char (&to)[VRX_Status::text_capacity + 1], const char* from) {
    size_t n = 0;
    if (from) {
        while (n < VRX_Status::text_capacity && from[n] != '\0') ++n;
        std::memcpy(to, from, n);
    }
    to[n] = '\0';
}

const char* base_name(const char* path) {
    if (!path) return nullptr;
    const char* slash = std::strrchr(path, '/');
    const char* backslash = std::strrchr(path, '\\');
    const char* last = !slash       ? backslash
                       : !backslash ? slash
                                    : (slash > backslash ? slash : backslash);
    return last ? last + 1 : path;
}

}  // namespace

VRX_Status::VRX_Status(VRX_Manager* manager) : VRX_Utility(manager) {}

VRX_Status::VRX_Status(VRX_Manager* manager, uint32_t code_, const char* function_,
                       const char* file_, uint32_t line_)
    : VRX_Utility(manager), code(code_), line(line_) {
    copy_text(function, function_);
    copy_text(file, base_name(file_));
}

VRX_Status::VRX_Status(const VRX_Status& other) : VRX_Utility(other) { *this = other; }

VRX_Status& VRX_Status::operator=(const VRX_Status& other) {
    if (this == &other) return *this;
    code = other.code;
    copy_text(function, other.function);
    copy_text(file, other.file);
    line = other.line;
    return *this;
}

}  // namespace vrx
