#include "Source/appsettings.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "Source/zebbuiltinoverlaysettings.h"
#include "platform/profile_reader.h"

namespace {

constexpr std::u16string_view kOtherModality = u"OTHER";
constexpr int32_t kAnnotationPoints = 10;
constexpr int32_t kAnnotationWeight = 400;

bool IsCorner(int32_t location) {
    return location == kLocationUpperLeft || location == kLocationLowerLeft ||
           location == kLocationUpperRight || location == kLocationLowerRight;
}

}  // namespace

AppSettings::AppSettings() {
    ApplyFace(kDefaultFace);
    m_fonts[kReferenceLineFont].points = 8;
    BuildDefaultOverlaySettings();
}

void AppSettings::ApplyFace(const std::u16string& face) {
    m_faceName = face;
    for (ZEBFontInfo& font : m_fonts) font.face = face;
    UpdateAnnotationFont();
}

void AppSettings::UpdateAnnotationFont() {
    ZEBFontInfo& font = m_fonts[kCornerAnnotationFont];
    const bool fromFile = m_overlayFileExists;
    font.face =
        fromFile && !m_overlayReader.FontName().empty() ? m_overlayReader.FontName() : m_faceName;
    font.points = fromFile && m_overlayReader.FontSize() != 0 ? m_overlayReader.FontSize()
                                                              : kAnnotationPoints;
    font.weight = kAnnotationWeight;
}

bool AppSettings::LoadOverlaySettings(const std::string& folder) {
    const std::string path = folder + "/" + OverlaySettingReader::kFileName;
    std::error_code error;
    m_overlayFileExists = std::filesystem::exists(path, error);
    const bool loaded = m_overlayFileExists && m_overlayReader.Load(path);
    UpdateAnnotationFont();
    BuildDefaultOverlaySettings();
    return loaded;
}

void AppSettings::BuildDefaultOverlaySettings() {
    std::vector<std::u16string> modalities{std::u16string(kOtherModality)};
    if (m_overlayFileExists)
        for (const OverlayModalityNode& node : m_overlayReader.Modalities())
            if (std::find(modalities.begin(), modalities.end(), node.name) == modalities.end())
                modalities.push_back(node.name);
    m_overlaySettings.clear();
    for (const std::u16string& modality : modalities) {
        ZEBOverlaySettingInfo setting;
        for (int32_t location = 0; location < kOverlayLocationCount; ++location) {
            if (m_overlayFileExists && IsCorner(location))
                m_overlayReader.BuildSettings(setting, modality, location);
            else
                AddBuiltinOverlayItems(setting, location);
        }
        m_overlaySettings.emplace(modality, setting);
    }
}

const ZEBOverlaySettingInfo& AppSettings::OverlaySetting(std::u16string_view modality) const {
    auto found = m_overlaySettings.find(modality);
    if (found == m_overlaySettings.end()) found = m_overlaySettings.find(kOtherModality);
    static const ZEBOverlaySettingInfo empty;
    return found == m_overlaySettings.end() ? empty : found->second;
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
        const std::string folder = AppSettings::ProgramFolder();
        s->Load(folder + "/" + AppSettings::kFileName);
        s->LoadOverlaySettings(folder);
        return s;
    }();
    return *settings;
}
