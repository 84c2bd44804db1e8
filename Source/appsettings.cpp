#include "Source/appsettings.h"

#include <unistd.h>

#include <vector>

#include "platform/profile_reader.h"

AppSettings::AppSettings() {
    ApplyFace(kDefaultFace);
    m_fonts[kReferenceLineFont].points = 8;
}

void AppSettings::ApplyFace(const std::u16string& face) {
    m_faceName = face;
    for (ZEBFontInfo& font : m_fonts) font.face = face;
}

bool AppSettings::Load(const std::string& path) {
    platform::ProfileReader ini;
    if (!ini.load_file(path)) return false;
    ApplyFace(ini.get_string(u"Font", u"StringsFaceName", kDefaultFace));
    return true;
}

const ZEBFontInfo& AppSettings::Font(size_t index) const {
    return m_fonts[index < kFontCount ? index : kMeasureFont];
}

void AppSettings::SetFont(size_t index, const ZEBFontInfo& font) {
    if (index < kFontCount) m_fonts[index] = font;
}

std::string AppSettings::ProgramFolder() {
    std::vector<char> path(4096);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return ".";
    const std::string exe(path.data(), static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : exe.substr(0, slash);
}

AppSettings& SettingsInstance() {
    static AppSettings* settings = [] {
        auto* s = new AppSettings;
        s->Load(AppSettings::ProgramFolder() + "/" + AppSettings::kFileName);
        return s;
    }();
    return *settings;
}
