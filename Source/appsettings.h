#pragma once
// The viewer's settings, read once from "ZR-M_Viewer.ini" beside the
// program; built-in values stand in for whatever the file does not say. The
// corner annotations of each modality come from "OverlaySetting.xml" beside
// the program when it is there, else from the built-in table.
//
//   const ZEBFontInfo& font = SettingsInstance().MeasureFont();
//   const ZEBOverlaySettingInfo& corners = SettingsInstance().OverlaySetting(u"CT");
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Source/overlaysettingreader.h"
#include "Source/zeboverlaysettinginfo.h"

// A font as the settings describe it.
struct ZEBFontInfo {
    std::u16string face;
    int32_t points = 10;
    int32_t weight = 400;
};

class AppSettings {
public:
    static constexpr const char* kFileName = "ZR-M_Viewer.ini";
    static constexpr const char16_t* kDefaultFace = u"MS UI Gothic";
    static constexpr size_t kFontCount = 17;
    // Places in the font table.
    enum FontIndex : size_t {
        kCornerAnnotationFont = 7,
        kMeasureFont = 8,
        kTextFont = 9,
        kPixelValueFont = 10,
        kReferenceLineFont = 11,
    };

    // Built-in values: every font in the default face, 10 points, weight
    // 400; reference-line numbers in 8 points.
    AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Reads the settings file; a file that cannot be read leaves the
    // built-in values (false), and so does memory that runs out while it is
    // read. Names and values longer than a face name may be are skipped with
    // their lines.
    bool Load(const std::string& path);

    // The face of the viewer's texts: [Font] StringsFaceName.
    const std::u16string& FaceName() const { return m_faceName; }

    const ZEBFontInfo& Font(size_t index) const;
    void SetFont(size_t index, const ZEBFontInfo& font);
    const ZEBFontInfo& MeasureFont() const { return Font(kMeasureFont); }
    const ZEBFontInfo& TextFont() const { return Font(kTextFont); }
    const ZEBFontInfo& PixelValueFont() const { return Font(kPixelValueFont); }
    const ZEBFontInfo& ReferenceLineFont() const { return Font(kReferenceLineFont); }
    // The corner annotations' font: the settings file's FONT when it names
    // one, else the viewer's face at 10 points.
    const ZEBFontInfo& AnnotationFont() const { return Font(kCornerAnnotationFont); }

    // Reads "OverlaySetting.xml" in `folder` when it is there and builds the
    // annotation settings again; true when the file was read. A file that
    // cannot be read, is not well-formed or has another root leaves the
    // built-in annotation settings, and so does memory that runs out while
    // it is read or its settings are built.
    bool LoadOverlaySettings(const std::string& folder);
    bool OverlayFileExists() const { return m_overlayFileExists; }
    const OverlaySettingReader& OverlayReader() const { return m_overlayReader; }
    // Builds the annotation settings of "OTHER" and of every modality the
    // file names: corners from the file when there is one, everything else
    // from the built-in table.
    void BuildDefaultOverlaySettings();
    // The setting of the modality, or of "OTHER" when it has none.
    const ZEBOverlaySettingInfo& OverlaySetting(std::u16string_view modality) const;
    const std::map<std::u16string, ZEBOverlaySettingInfo, std::less<>>& OverlaySettings() const {
        return m_overlaySettings;
    }

    // One line for each settings file that is there but could not be used
    // as it is: the file, the line to blame, the cause and what stands in,
    // as in "/opt/zrm/ZR-M_Viewer.ini, line 3: a name or value longer than
    // 255 characters; the line is skipped" or "/opt/zrm/OverlaySetting.xml:
    // out of memory while it was read; the built-in annotation settings are
    // used". Empty when all were fine.
    const std::vector<std::string>& Warnings() const { return m_warnings; }

    // The folder of the running program (no trailing '/'), "." when unknown.
    static std::string ProgramFolder();

private:
    void ApplyFace(const std::u16string& face);
    void UpdateAnnotationFont();
    void Warn(const std::string& path, size_t line, std::string_view cause,
              std::string_view instead);

    std::u16string m_faceName;
    std::array<ZEBFontInfo, kFontCount> m_fonts;
    OverlaySettingReader m_overlayReader;
    bool m_overlayFileExists = false;
    bool m_overlayFileLoaded = false;  // the corners come from the file
    std::vector<std::string> m_warnings;
    std::map<std::u16string, ZEBOverlaySettingInfo, std::less<>> m_overlaySettings;
};

// The settings object, read from the program's folder on first use.
AppSettings& SettingsInstance();
