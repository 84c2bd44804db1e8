#pragma once
// The viewer's settings, read once from "ZR-M_Viewer.ini" beside the
// program; built-in values stand in for whatever the file does not say.
//
//   const ZEBFontInfo& font = SettingsInstance().MeasureFont();
#include <array>
#include <cstdint>
#include <string>

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

    // Reads the settings file; a file that cannot be read leaves the
    // built-in values (false).
    bool Load(const std::string& path);

    // The face of the viewer's texts: [Font] StringsFaceName.
    const std::u16string& FaceName() const { return m_faceName; }

    const ZEBFontInfo& Font(size_t index) const;
    void SetFont(size_t index, const ZEBFontInfo& font);
    const ZEBFontInfo& MeasureFont() const { return Font(kMeasureFont); }
    const ZEBFontInfo& TextFont() const { return Font(kTextFont); }
    const ZEBFontInfo& PixelValueFont() const { return Font(kPixelValueFont); }
    const ZEBFontInfo& ReferenceLineFont() const { return Font(kReferenceLineFont); }

    // The folder of the running program (no trailing '/'), "." when unknown.
    static std::string ProgramFolder();

private:
    void ApplyFace(const std::u16string& face);

    std::u16string m_faceName;
    std::array<ZEBFontInfo, kFontCount> m_fonts;
};

// The settings object, read from the program's folder on first use.
AppSettings& SettingsInstance();
