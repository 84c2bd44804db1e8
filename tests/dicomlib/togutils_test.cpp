#include "dicomlib/togutils.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "dicomlib/toglogwriter.h"
#include "dicomlib/togresult.h"
#include "recording_log_writer.h"
#include "tests/test_folder.h"

namespace {

using namespace TogDicomLib;
using ::testing::ElementsAre;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = testfolder::file("togutils_test.XXXXXX");
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

TogString Wide(const std::string& s) {
    return TogString::FromUtf8(s);
}

TEST(TogUtils, DeleteFile) {
    TempFolder dir;
    const std::string file = dir.Path("file \xe5\xb1\xb1.dcm");  // a non-ASCII name
    std::ofstream(file) << "x";
    std::filesystem::create_directory(dir.Path("sub"));
    {
        RecordingLogWriter log;
        EXPECT_TRUE(togutils::PathFileExists(Wide(file)));
        EXPECT_EQ(togutils::DeleteFileW(Wide(file)), ResultSuccess);
        EXPECT_FALSE(togutils::PathFileExists(Wide(file)));
        EXPECT_TRUE(log.lines.empty());

        // Already gone: success, with a note in the log.
        EXPECT_EQ(togutils::DeleteFileW(Wide(file)), ResultSuccess);
        EXPECT_THAT(log.Messages(),
                    ElementsAre("The path does not exist. May be already removed. ('" + file + "')"));
        log.lines.clear();

        EXPECT_EQ(togutils::DeleteFileW(TogString()), ResultBadArgument);
        EXPECT_THAT(log.Messages(), ElementsAre("The path is empty. ('')"));
        EXPECT_EQ(log.lines[0].signature, "int __cdecl togutils::DeleteFileW(const class TogString &)");
        EXPECT_EQ(log.lines[0].severity, 0);
        log.lines.clear();

        EXPECT_EQ(togutils::DeleteFileW(Wide(dir.Path("sub"))), ResultAccessDenied);
        EXPECT_THAT(log.Messages(), ElementsAre("The access denied. ('" + dir.Path("sub") + "')"));
        log.lines.clear();

        std::ofstream(dir.Path("plain")) << "x";
        const std::string under_file = dir.Path("plain/child");
        EXPECT_EQ(togutils::DeleteFileW(Wide(under_file)), ResultInvalidPathEntry);
        EXPECT_THAT(log.Messages(), ElementsAre("The path may contain an invalid entry. ('" + under_file + "')"));
        log.lines.clear();

        const std::string long_name = dir.Path(std::string(300, 'n'));
        EXPECT_EQ(togutils::DeleteFileW(Wide(long_name)), ResultPathTooLong);
        EXPECT_THAT(log.Messages(), ElementsAre("The path is too long. ('" + long_name + "')"));
    }
    // With no writer installed the results are the same and nothing is written.
    EXPECT_EQ(GetLogWriter(), nullptr);
    EXPECT_EQ(togutils::DeleteFileW(Wide(file)), ResultSuccess);
    EXPECT_EQ(togutils::DeleteFileW(TogString()), ResultBadArgument);
    EXPECT_TRUE(togutils::PathFileExists(Wide(dir.Path("sub"))));
    EXPECT_FALSE(togutils::PathFileExists(TogString()));
}

TEST(TogUtils, PlatformErrorMappingByTable) {
    struct Case { int error; int code; const char* message; };
    const Case cases[] = {
        {ENOENT, 1009, "The path may contain an invalid entry. ('p')"},
        {ENOTDIR, 1009, "The path may contain an invalid entry. ('p')"},
        {EACCES, 1004, "The access denied. ('p')"},
        {EPERM, 1004, "The access denied. ('p')"},
        {EEXIST, 1010, "The directory/file already exists. ('p')"},
        {EINVAL, 1007, "The path is invalid. ('p')"},
        {ENAMETOOLONG, 1008, "The path is too long. ('p')"},
        {EIO, 1, "RemoveIt() failed for an unknown reason. Return Value = 5. ('p')"},
    };
    for (const Case& c : cases) {
        RecordingLogWriter log;
        EXPECT_EQ(togutils::MapPlatformError("sig", "RemoveIt", c.error, TogString(u"p")), c.code);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].message, c.message);
        EXPECT_EQ(log.lines[0].code, c.code);
        EXPECT_EQ(log.lines[0].signature, "sig");
    }
}

TEST(TogUtils, PlatformErrorText) {
    RecordingLogWriter log;
    EXPECT_EQ(togutils::WriteWindowsAPIErrorMessageToLog("sig", "open", ENOENT), ResultSuccess);
    errno = EACCES;
    EXPECT_EQ(togutils::WriteWindowsAPIErrorMessageToLog("sig", "open", -1), ResultSuccess);
    EXPECT_EQ(togutils::WriteWindowsAPIErrorMessageToLog("sig", "open", 99999), ResultBadArgument);
    EXPECT_THAT(log.Messages(), ElementsAre("Windows API error(2):No such file or directory",
                                            "Windows API error(13):Permission denied",
                                            "FormatMessage() failed. ('99999')"));
    EXPECT_EQ(log.lines[0].code, 2);
}

TEST(TogUtils, SplitFunctionSignatureByTable) {
    struct Case { const char* signature; bool ok; const char16_t* cls; const char16_t* method; };
    const Case cases[] = {
        {"int __thiscall TogDicomDataElement::SetChildElement(class TogDicomDataElement *)", true,
         u"TogDicomDataElement", u"SetChildElement"},
        {"__thiscall TogDicomDataElement::~TogDicomDataElement(void)", true, u"TogDicomDataElement",
         u"~TogDicomDataElement"},
        {"int __cdecl togutils::DeleteFileW(const class TogString &)", true, u"togutils", u"DeleteFileW"},
        {"int __cdecl Outer::Inner::Run(void)", true, u"Outer::Inner", u"Run"},
        {"void __cdecl FreeFunction(int)", true, u"(global)", u"FreeFunction"},
        {"Bare", true, u"(global)", u"Bare"},
        {"", false, u"(unknown)", u"(unknown)"},
        {"(int)", false, u"(unknown)", u"(unknown)"},
        {"int ::Run(void)", false, u"(unknown)", u"(unknown)"},
        {nullptr, false, u"(unknown)", u"(unknown)"},
    };
    for (const Case& c : cases) {
        TogString cls, method;
        EXPECT_EQ(togutils::SplitFunctionSignature(c.signature, cls, method), c.ok)
            << (c.signature ? c.signature : "null");
        EXPECT_EQ(cls, c.cls) << (c.signature ? c.signature : "null");
        EXPECT_EQ(method, c.method) << (c.signature ? c.signature : "null");
    }
}

TEST(TogLog, ReportsReachTheInstalledWriterOnly) {
    Report("sig", 5, TogString(u"dropped"));
    ReportFormat("sig", 5, u"dropped %d", 1);
    RecordingLogWriter log;
    Report("int __cdecl f(void)", 10, TogString(u"plain"));
    ReportFormat("int __cdecl g(void)", 6, u"value %d of %s", 3, u"x");
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].signature, "int __cdecl f(void)");
    EXPECT_EQ(log.lines[0].code, 10);
    EXPECT_EQ(log.lines[1].message, "value 3 of x");
    EXPECT_EQ(log.lines[1].code, 6);

    TogNullLogWriter null_writer;
    SetLogWriter(&null_writer);
    Report("sig", 1, TogString(u"nothing happens"));
    SetLogWriter(&log);
    std::lock_guard<std::mutex> lock(GetLibraryLock());
}

}  // namespace
