#pragma once
// The test process's own temporary folder: made under GoogleTest's TempDir()
// on first use with a name no other process has (mkdtemp), and removed with
// everything in it when the process that made it ends. Two runs of the suite
// at once, from two checkouts, never meet in it.
//
//   const std::string path = testfolder::file("out.bmp");   // <folder>/out.bmp
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace testfolder {

class Folder {
public:
    Folder() : m_owner(::getpid()) {
        std::string pattern = ::testing::TempDir();
        if (!pattern.empty() && pattern.back() != '/') pattern += '/';
        pattern += "zrm_tests_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror(("cannot make the test folder " + pattern).c_str());
            std::abort();
        }
        // Others may look in: some tests run the program as an unprivileged
        // user on files here.
        ::chmod(pattern.c_str(), 0755);
        m_path = pattern + "/";
    }
    // Only the process that made it removes it (a forked child leaves it).
    ~Folder() {
        std::error_code ignored;
        if (::getpid() == m_owner) std::filesystem::remove_all(m_path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& path() const { return m_path; }

private:
    pid_t m_owner;
    std::string m_path;
};

// The folder, ending in '/'.
inline const std::string& path() {
    static const Folder folder;
    return folder.path();
}

// `name` inside the folder.
inline std::string file(const std::string& name) { return path() + name; }

}  // namespace testfolder
