#include "Source/appsettings.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

#include "Source/zebbuiltinoverlaysettings.h"
#include "platform/profile_reader.h"

namespace {

constexpr std::u16string_view kOtherModality = u"OTHER";
constexpr int32_t kAnnotationPoints = 10;
constexpr int32_t kAnnotationWeight = 400;

// The cause of the warning about a settings file that memory ran out for.
constexpr std::string_view kOutOfMemory = "out of memory while it was read";

// The longest cause a warning quotes, in bytes: the parser's messages may
// quote names of any length from the file.
constexpr size_t kMaxCauseBytes = 200;

bool IsCorner(int32_t location) {
    return location == kLocationUpperLeft || location == kLocationLowerLeft ||
           location == kLocationUpperRight || location == kLocationLowerRight;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The cause on one line, without control characters, cut after
// kMaxCauseBytes at a character's start.
std::string OneLine(std::string_view cause) {
    std::string out;
    for (const char c : cause) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.size() > kMaxCauseBytes) {
        size_t cut = kMaxCauseBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
        out += "...";
    }
    return out;
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
    const bool fromFile = m_overlayFileLoaded;
    font.face =
        fromFile && !m_overlayReader.FontName().empty() ? m_overlayReader.FontName() : m_faceName;
    font.points = fromFile && m_overlayReader.FontSize() != 0 ? m_overlayReader.FontSize()
                                                              : kAnnotationPoints;
    font.weight = kAnnotationWeight;
}

bool AppSettings::LoadOverlaySettings(const std::string& folder) {
    const std::string path = folder + "/" + OverlaySettingReader::kFileName;
    static constexpr std::string_view kInstead = "the built-in annotation settings are used";
    m_overlayFileExists = Exists(path);
    try {
        m_overlayFileLoaded = m_overlayFileExists && m_overlayReader.Load(path);
        UpdateAnnotationFont();
        BuildDefaultOverlaySettings();
        if (m_overlayFileExists && !m_overlayFileLoaded)
            Warn(path, size_t(std::max(m_overlayReader.FailureLine(), 0)),
                 m_overlayReader.FailureText(), kInstead);
        if (m_overlayFileLoaded && !m_overlayReader.SkippedText().empty())
            Warn(path, size_t(std::max(m_overlayReader.SkippedLine(), 0)),
                 m_overlayReader.SkippedText(),
                 "only the first " + std::to_string(OverlaySettingReader::kMaxCornerLines) +
                     " lines of a corner and the first " +
                     std::to_string(OverlaySettingReader::kMaxLineItems) +
                     " items of a line are used");
    } catch (const std::bad_alloc&) {
        // What was read goes before the built-in settings are made again.
        m_overlayReader.Clear();
        m_overlaySettings.clear();
        m_overlayFileLoaded = false;
        UpdateAnnotationFont();
        BuildDefaultOverlaySettings();
        Warn(path, 0, kOutOfMemory, kInstead);
    }
    return m_overlayFileLoaded;
}

void AppSettings::BuildDefaultOverlaySettings() {
    // The reader names each modality once.
    std::vector<std::u16string_view> modalities{kOtherModality};
    if (m_overlayFileLoaded)
        for (const OverlayModalityNode& node : m_overlayReader.Modalities())
            if (node.name != kOtherModality) modalities.push_back(node.name);
    // The built-in items of every location the file does not fill.
    ZEBOverlaySettingInfo builtin;
    for (int32_t location = 0; location < kOverlayLocationCount; ++location)
        if (!m_overlayFileLoaded || !IsCorner(location)) AddBuiltinOverlayItems(builtin, location);
    m_overlaySettings.clear();
    for (const std::u16string_view modality : modalities) {
        // Built in place: a file may name tens of thousands.
        ZEBOverlaySettingInfo& setting =
            m_overlaySettings.try_emplace(std::u16string(modality), builtin).first->second;
        if (m_overlayFileLoaded)
            for (int32_t location = 0; location < kOverlayLocationCount; ++location)
                if (IsCorner(location)) m_overlayReader.BuildSettings(setting, modality, location);
    }
}

const ZEBOverlaySettingInfo& AppSettings::OverlaySetting(std::u16string_view modality) const {
    auto found = m_overlaySettings.find(modality);
    if (found == m_overlaySettings.end()) found = m_overlaySettings.find(kOtherModality);
    static const ZEBOverlaySettingInfo empty;
    return found == m_overlaySettings.end() ? empty : found->second;
}

bool AppSettings::Load(const std::string& path) {
    static constexpr std::string_view kInstead = "the built-in settings are used";
    try {
        platform::ProfileReader ini;
        if (!ini.load_file(path)) {
            if (Exists(path)) Warn(path, 0, ini.error_text(), kInstead);
            return false;
        }
        ApplyFace(ini.get_string(u"Font", u"StringsFaceName", kDefaultFace));
        if (const size_t skipped = ini.skipped_lines())
            Warn(path, ini.first_skipped_line(),
                 "a name or value longer than " + std::to_string(ini.kMaxNameChars) +
                     " characters",
                 skipped == 1
                     ? "the line is skipped"
                     : "it and " + std::to_string(skipped - 1) + " more such lines are skipped");
        return true;
    } catch (const std::bad_alloc&) {
        // The reader and what it read are gone by now.
        ApplyFace(kDefaultFace);
        Warn(path, 0, kOutOfMemory, kInstead);
        return false;
    }
}

void AppSettings::Warn(const std::string& path, size_t line, std::string_view cause,
                       std::string_view instead) {
    std::string warning = path;
    if (line > 0) warning += ", line " + std::to_string(line);
    warning += ": " + OneLine(cause) + "; ";
    warning += instead;
    m_warnings.push_back(std::move(warning));
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
    // Memory that runs out while the files are read leaves nothing behind.
    static AppSettings* settings = [] {
        auto s = std::make_unique<AppSettings>();
        const std::string folder = AppSettings::ProgramFolder();
        s->Load(folder + "/" + AppSettings::kFileName);
        s->LoadOverlaySettings(folder);
        return s.release();
    }();
    return *settings;
}
