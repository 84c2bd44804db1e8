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

int MapPlatformError(const char* signature, const char* function, int error, const TogString& path) noexcept {
    using namespace TogDicomLib;
    const char16_t* p = path.GetString();
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
            ReportFormat(signature, ResultInvalidPathEntry, u"The path may contain an invalid entry. ('%s')", p);
            return ResultInvalidPathEntry;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            ReportFormat(signature, ResultAccessDenied, u"The access denied. ('%s')", p);
            return ResultAccessDenied;
        case EEXIST:
        case ENOTEMPTY:
            ReportFormat(signature, ResultAlreadyExists, u"The directory/file already exists. ('%s')", p);
            return ResultAlreadyExists;
        case EINVAL:
        case EILSEQ:
            ReportFormat(signature, ResultInvalidPath, u"The path is invalid. ('%s')", p);
            return ResultInvalidPath;
        case ENAMETOOLONG:
            ReportFormat(signature, ResultPathTooLong, u"The path is too long. ('%s')", p);
            return ResultPathTooLong;
        default:
            ReportFormat(signature, ResultUnknownError,
                         u"%hs() failed for an unknown reason. Return Value = %d. ('%s')",
                         function != nullptr ? function : "", error, p);
            return ResultUnknownError;
    }
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
