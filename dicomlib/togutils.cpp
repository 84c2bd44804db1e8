#include "dicomlib/togutils.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "dicomlib/toglogwriter.h"
#include "dicomlib/togresult.h"

namespace togutils {
namespace {

const char kDeleteFileSignature[] = "int __cdecl togutils::DeleteFileW(const class TogString &)";

}  // namespace

int WriteWindowsAPIErrorMessageToLog(const char* signature, const char* function, int error) noexcept {
    (void)function;
    if (error == -1) error = errno;
    const char* text = strerrordesc_np(error);
    if (text == nullptr) {
        TogDicomLib::ReportFormat(signature, error, u"FormatMessage() failed. ('%d')", error);
        return TogDicomLib::ResultBadArgument;
    }
    if (TogDicomLib::GetLogWriter() == nullptr) return TogDicomLib::ResultSuccess;
    TogString message = TogString::Format(u"Windows API error(%d):", error);
    TogString description = TogString::FromMultiByte(text);
    uint32_t n = description.GetLength();
    while (n > 0 && (*description.At(n - 1) == u'\n' || *description.At(n - 1) == u'\r')) --n;
    message.Append(description.GetString(), static_cast<int>(n));
    TogDicomLib::Report(signature, error, message);
    return TogDicomLib::ResultSuccess;
}

bool SplitFunctionSignature(const char* signature, TogString& className, TogString& methodName) noexcept {
    className = u"(unknown)";
    methodName = u"(unknown)";
    if (signature == nullptr) return false;
    std::string_view text(signature);
    text = text.substr(0, text.find('('));
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const size_t blank = text.rfind(' ');
    if (blank != std::string_view::npos) text.remove_prefix(blank + 1);
    if (text.empty()) return false;
    const size_t colons = text.rfind("::");
    if (colons == std::string_view::npos) {
        className = u"(global)";
        methodName = TogString::FromUtf8(text);
        return true;
    }
    const std::string_view cls = text.substr(0, colons);
    const std::string_view method = text.substr(colons + 2);
    if (cls.empty() || method.empty()) return false;
    className = TogString::FromUtf8(cls);
    methodName = TogString::FromUtf8(method);
    return true;
}

namespace {

struct MappedError {
    int errors[4];  // errno values, 0 ends the list
    int code;
    const char16_t* message;
};

const MappedError kMappedErrors[] = {
    {{ENOENT, ENOTDIR, ELOOP, 0}, TogDicomLib::ResultInvalidPathEntry, u"The path may contain an invalid entry. ('%s')"},
    {{EACCES, EPERM, EROFS, EISDIR}, TogDicomLib::ResultAccessDenied, u"The access denied. ('%s')"},
    {{EEXIST, ENOTEMPTY, 0, 0}, TogDicomLib::ResultAlreadyExists, u"The directory/file already exists. ('%s')"},
    {{EINVAL, EILSEQ, 0, 0}, TogDicomLib::ResultInvalidPath, u"The path is invalid. ('%s')"},
    {{ENAMETOOLONG, 0, 0, 0}, TogDicomLib::ResultPathTooLong, u"The path is too long. ('%s')"},
};

}  // namespace

int MapPlatformError(const char* signature, const char* function, int error, const TogString& path) noexcept {
    using namespace TogDicomLib;
    for (const MappedError& m : kMappedErrors) {
        for (int e : m.errors) {
            if (e != 0 && e == error) {
                ReportFormat(signature, m.code, m.message, path.GetString());
                return m.code;
            }
        }
    }
    ReportFormat(signature, ResultUnknownError, u"%hs() failed for an unknown reason. Return Value = %d. ('%s')",
                 function != nullptr ? function : "", error, path.GetString());
    return ResultUnknownError;
}

int DeleteFileW(const TogString& path) noexcept {
    using namespace TogDicomLib;
    if (path.IsEmpty()) {
        ReportFormat(kDeleteFileSignature, ResultBadArgument, u"The path is empty. ('%s')", path.GetString());
        return ResultBadArgument;
    }
    const std::string name = path.ToUtf8();
    if (name.empty()) return ResultOutOfMemory;
    struct stat st;
    if (lstat(name.c_str(), &st) != 0 && errno == ENOENT) {
        ReportFormat(kDeleteFileSignature, ResultSuccess,
                     u"The path does not exist. May be already removed. ('%s')", path.GetString());
        return ResultSuccess;
    }
    if (unlink(name.c_str()) != 0) {
        return MapPlatformError(kDeleteFileSignature, "DeleteFileW", errno, path);
    }
    return ResultSuccess;
}

bool PathFileExists(const TogString& path) noexcept {
    if (path.IsEmpty()) return false;
    const std::string name = path.ToUtf8();
    struct stat st;
    return !name.empty() && stat(name.c_str(), &st) == 0;
}

}  // namespace togutils
