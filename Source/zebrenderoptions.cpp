#include "Source/zebrenderoptions.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <functional>
#include <string_view>

#include "Source/zebimageviewctrl.h"
#include "platform/text_converter.h"

namespace {

bool ParseInt(std::string_view text, int32_t& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end;
}

bool ParseDouble(std::string_view text, double& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out, std::chars_format::general);
    return ec == std::errc() && p == end && std::isfinite(out);
}

// The first `count` comma-separated fields; the last takes the rest when
// `rest` is set.
bool SplitFields(std::string_view text, size_t count, bool rest, std::vector<std::string_view>& out) {
    out.clear();
    while (out.size() + 1 < count) {
        const size_t comma = text.find(',');
        if (comma == std::string_view::npos) return false;
        out.push_back(text.substr(0, comma));
        text.remove_prefix(comma + 1);
    }
    if (!rest && text.find(',') != std::string_view::npos) return false;
    out.push_back(text);
    return true;
}

bool ParseInts(std::string_view text, size_t count, int32_t* out) {
    std::vector<std::string_view> fields;
    if (!SplitFields(text, count, false, fields)) return false;
    for (size_t i = 0; i < count; ++i)
        if (!ParseInt(fields[i], out[i])) return false;
    return true;
}

// Two image points "X1,Y1,X2,Y2" added to `out`.
bool AppendPoints(std::string_view text, std::vector<ZEBRenderOptions::Measurement>& out) {
    int32_t p[4];
    if (!ParseInts(text, 4, p)) return false;
    out.push_back({{p[0], p[1]}, {p[2], p[3]}});
    return true;
}

// A zoom as a decimal ("1.5") or a fraction ("3/2").
bool ParseZoom(std::string_view text, double& out) {
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) return ParseDouble(text, out);
    double numerator = 0.0, denominator = 0.0;
    if (!ParseDouble(text.substr(0, slash), numerator) ||
        !ParseDouble(text.substr(slash + 1), denominator) || denominator == 0.0)
        return false;
    out = numerator / denominator;
    return std::isfinite(out);
}

struct OptionForm {
    const char* name;
    const char* value;  // what the value is, for messages; null for a flag
    std::function<bool(ZEBRenderOptions&, std::string_view)> apply;
    int most = 0;              // how many times it may be given; 0: no limit
    const char* why = nullptr;  // why no more
};

const std::vector<OptionForm>& Options() {
    static const std::vector<OptionForm> forms = {
        {"--image", "a number from 1",
         [](ZEBRenderOptions& o, std::string_view v) {
             return (o.hasImage = ParseInt(v, o.image) && o.image >= 1);
         }},
        {"--frame", "a number from 1",
         [](ZEBRenderOptions& o, std::string_view v) { return ParseInt(v, o.frame) && o.frame >= 1; }},
        {"--window", "CENTER,WIDTH with a width of at least 1",
         [](ZEBRenderOptions& o, std::string_view v) {
             std::vector<std::string_view> f;
             o.hasWindow = SplitFields(v, 2, false, f) && ParseDouble(f[0], o.windowCenter) &&
                           ParseDouble(f[1], o.windowWidth) && o.windowWidth >= 1.0;
             return o.hasWindow;
         }},
        {"--zoom", "a decimal or a fraction from 1/64 to 64",
         [](ZEBRenderOptions& o, std::string_view v) {
             o.hasZoom = ParseZoom(v, o.zoom) && o.zoom >= ZEBImageViewCtrl::kMinZoom &&
                         o.zoom <= ZEBImageViewCtrl::kMaxZoom;
             return o.hasZoom;
         }},
        {"--size", "WIDTHxHEIGHT, each from 1",
         [](ZEBRenderOptions& o, std::string_view v) {
             const size_t x = v.find('x');
             o.hasSize = x != std::string_view::npos && ParseInt(v.substr(0, x), o.tileWidth) &&
                         ParseInt(v.substr(x + 1), o.tileHeight) && o.tileWidth >= 1 &&
                         o.tileHeight >= 1;
             return o.hasSize;
         }},
        {"--measure", "X1,Y1,X2,Y2",
         [](ZEBRenderOptions& o, std::string_view v) { return AppendPoints(v, o.measurements); }},
        {"--arrow", "X1,Y1,X2,Y2",
         [](ZEBRenderOptions& o, std::string_view v) { return AppendPoints(v, o.arrows); }},
        {"--text", "X,Y,TEXT",
         [](ZEBRenderOptions& o, std::string_view v) {
             std::vector<std::string_view> f;
             ZEBRenderOptions::Text t;
             if (!SplitFields(v, 3, true, f) || !ParseInt(f[0], t.at.x) || !ParseInt(f[1], t.at.y))
                 return false;
             // "\n" in the text breaks the line.
             std::string text;
             for (size_t i = 0; i < f[2].size(); ++i) {
                 const bool lineBreak = f[2][i] == '\\' && i + 1 < f[2].size() && f[2][i + 1] == 'n';
                 text += lineBreak ? '\n' : f[2][i];
                 i += lineBreak ? 1 : 0;
             }
             platform::utf8_to_utf16(text, t.text);
             o.texts.push_back(std::move(t));
             return true;
         }},
        {"--probe", "X,Y",
         [](ZEBRenderOptions& o, std::string_view v) {
             int32_t p[2];
             o.hasProbe = ParseInts(v, 2, p);
             o.probe = {p[0], p[1]};
             return o.hasProbe;
         },
         1, "a tile shows one pixel value"},
        {"--reference-series", "a series number from 1",
         [](ZEBRenderOptions& o, std::string_view v) {
             return ParseInt(v, o.referenceSeries) && o.referenceSeries >= 1;
         }},
        {"--reference", "a DICOM file",
         [](ZEBRenderOptions& o, std::string_view v) {
             if (v.empty()) return false;
             o.referenceFiles.emplace_back(v);
             return true;
         },
         3, "the first, last and current image of another series"},
        {"--mode", "0, 1, 2, 4, 8, 16, 32 or 64",
         [](ZEBRenderOptions& o, std::string_view v) {
             return ParseInt(v, o.displayMode) &&
                    (o.displayMode == 0 || (o.displayMode <= 64 && std::has_single_bit(
                                                                       unsigned(o.displayMode))));
         }},
        {"--no-annotations", nullptr,
         [](ZEBRenderOptions& o, std::string_view) { return !(o.annotations = false); }},
        {"--list", nullptr, [](ZEBRenderOptions& o, std::string_view) { return o.list = true; }},
        {"--help", nullptr, [](ZEBRenderOptions& o, std::string_view) { return o.help = true; }},
        {"-h", nullptr, [](ZEBRenderOptions& o, std::string_view) { return o.help = true; }},
        {"--version", nullptr,
         [](ZEBRenderOptions& o, std::string_view) { return o.version = true; }},
    };
    return forms;
}

}  // namespace

std::string RenderUsage() {
    const std::string bytesPerPixel = std::to_string(ZEBRenderOptions::kTileBytesPerPixel);
    const std::string budget = std::to_string(ZEBRenderOptions::kTileBudget >> 30);
    const int64_t pixels = ZEBRenderOptions::kTileBudget / ZEBRenderOptions::kTileBytesPerPixel;
    const std::string megapixels = std::to_string(pixels / 1000000);
    const std::string side = std::to_string(int64_t(std::sqrt(double(pixels))));
    return "Usage: zrm-render [options] INPUT OUTPUT.bmp\n"
           "       zrm-render --list DICOMDIR\n"
           "Renders one frame of a DICOM file, or one image of a DICOMDIR, as a viewer tile\n"
           "shows it, into a 24-bit bitmap file. INPUT carries \"DICM\" at offset 128, or\n"
           "is a folder with a DICOMDIR in it, which it then stands for.\n"
           "\n"
           "  --image N               image N of a DICOMDIR as --list lists it (default 1)\n"
           "  --frame N               frame N of the file (default 1)\n"
           "  --window C,W            window centre and width (default: the frame's first\n"
           "                          window, else its first VOI LUT, else its range);\n"
           "                          colour is shown over the range its stored bits\n"
           "                          hold (a palette's, that of its entries' bits),\n"
           "                          whatever the window\n"
           "  --zoom Z                zoom from 1/64 to 64, a decimal or a fraction such as\n"
           "                          1/4 (default 1, or the image fitted to the tile when\n"
           "                          --size is given)\n"
           "  --size WxH              tile size (default: the image at the zoom)\n"
           "  --measure X1,Y1,X2,Y2   a distance measurement between two image points\n"
           "  --arrow X1,Y1,X2,Y2     an arrow from the second image point to its tip at\n"
           "                          the first\n"
           "  --text X,Y,TEXT         a text at an image point (\\n breaks the line)\n"
           "  --probe X,Y             the pixel value at an image point (once: a tile shows\n"
           "                          one)\n"
           "  --reference-series N    reference lines of series N of the DICOMDIR (its\n"
           "                          first, last and middle image)\n"
           "  --reference FILE        reference lines of an image of another series (up to\n"
           "                          three: first, last, current)\n"
           "  --mode N                display mode of the annotations: 0, or the tool whose\n"
           "                          drag runs (1 window, 2 zoom, 4 pan, 8 measure, ...)\n"
           "  --no-annotations        leave the corner annotations out\n"
           "  --list                  list the images of the DICOMDIR and stop (takes no\n"
           "                          other option)\n"
           "  -h, --help              this text\n"
           "  --version               the program's version\n"
           "Measurements, arrows and texts may be given several times; each is made by a\n"
           "press, a move and a release of its tool, so one that starts on an earlier one\n"
           "moves that one instead. Image points are column,row from 0, on the image.\n"
           "A tile's buffers take " + bytesPerPixel + " bytes a pixel, at most " + budget +
           " GiB in all (about " + megapixels + " million\npixels, a square of " + side + "x" +
           side + "); a larger tile is refused (exit 2), whether\n"
           "--size gives it or the image at the zoom, the default zoom of 1 included.\n"
           "OUTPUT is a file name ending in .bmp, in any case (a file there is replaced\n"
           "whole once the bitmap is complete, or truncated and written in place when its\n"
           "folder takes no new file; a file you may not write is refused; a symbolic\n"
           "link's target is written), a device, FIFO or socket (written as it is), or -\n"
           "for standard output. It may not be a file the render reads.\n"
           "Exit codes: 0 done, 1 the input cannot be rendered, 2 bad usage, 3 the output\n"
           "is not written. Warnings on stderr may come first; an error is the last line.\n"
           "A file replaced whole is then left as it was; a file written in place, a FIFO\n"
           "or standard output may have been written in part, and the last line then says\n"
           "the output is cut short. Damaged data that still decodes gives a warning line\n"
           "and exit 0.\n";
}

std::string RenderVersion() { return std::string("zrm-render ") + ZRM_VERSION + "\n"; }

bool IsBitmapFileName(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ending = name.substr(name.size() - 4);
    for (char& c : ending) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return ending == ".bmp";
}

std::string ZEBRenderOptions::CheckTileSize(int64_t width, int64_t height) {
    const double bytes = double(width) * double(height) * double(kTileBytesPerPixel);
    if (width >= 1 && height >= 1 && bytes <= double(kTileBudget)) return {};
    char gib[32];
    const std::to_chars_result gibEnd = std::to_chars(
        gib, gib + sizeof gib, bytes / double(int64_t{1} << 30), std::chars_format::fixed, 2);
    return "a tile of " + std::to_string(width) + "x" + std::to_string(height) + " needs " +
           std::string(gib, gibEnd.ptr) + " GiB of buffers, over the budget of " +
           std::to_string(kTileBudget >> 30) + " GiB; give a smaller --zoom or --size";
}

std::string ZEBRenderOptions::CheckPoints(int32_t columns, int32_t rows) const {
    using platform::Point;
    const auto text = [](Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
    std::string error;
    const auto check = [&](const char* option, std::initializer_list<Point> points,
                           const std::string& given) {
        for (const Point& p : points) {
            if (!error.empty() || (p.x >= 0 && p.y >= 0 && p.x < columns && p.y < rows)) continue;
            error = std::string(option) + " " + given + ": the point " + text(p) +
                    " is outside the image of " + std::to_string(columns) + " x " +
                    std::to_string(rows) + " pixels (columns 0 to " + std::to_string(columns - 1) +
                    ", rows 0 to " + std::to_string(rows - 1) + ")";
        }
    };
    for (const Measurement& m : measurements)
        check("--measure", {m.from, m.to}, text(m.from) + "," + text(m.to));
    for (const Arrow& a : arrows) check("--arrow", {a.from, a.to}, text(a.from) + "," + text(a.to));
    for (const Text& t : texts) check("--text", {t.at}, text(t.at) + ",...");
    if (hasProbe) check("--probe", {probe}, text(probe));
    return error;
}

bool ParseRenderOptions(const std::vector<std::string>& args, ZEBRenderOptions& options,
                        std::string& error) {
    options = ZEBRenderOptions();
    error.clear();
    std::vector<std::string> operands;
    std::vector<std::string> given;  // the options met, by name
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto& forms = Options();
        const auto form = std::find_if(forms.begin(), forms.end(),
                                       [&](const OptionForm& s) { return name == s.name; });
        if (form == forms.end()) {
            error = "unknown option " + name;
            return false;
        }
        if (form->most > 0 && std::count(given.begin(), given.end(), name) >= form->most) {
            error = name + " may be given " +
                    (form->most == 1 ? std::string("only once")
                                     : "at most " + std::to_string(form->most) + " times") +
                    ": " + form->why;
            return false;
        }
        given.push_back(name);
        std::string value;
        if (form->value && equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (form->value) {
            if (++i == args.size()) {
                error = name + " needs " + form->value;
                return false;
            }
            value = args[i];
        } else if (equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
        if (!form->apply(options, value)) {
            error = "bad value '" + value + "' for " + name + ": expected " +
                    (form->value ? form->value : "nothing");
            return false;
        }
    }
    if (options.help || options.version) return true;
    if (options.list)
        for (const std::string& name : given)
            if (name != "--list") {
                error = name + " does not apply to --list";
                return false;
            }
    const size_t wanted = options.list ? 1 : 2;
    if (operands.size() != wanted) {
        error = options.list ? "--list takes one DICOMDIR" : "give INPUT and OUTPUT.bmp";
        return false;
    }
    options.input = operands[0];
    if (!options.list) options.output = operands[1];
    if (options.referenceSeries > 0 && !options.referenceFiles.empty()) {
        error = "give either --reference-series or --reference";
        return false;
    }
    if (options.hasSize)
        error = ZEBRenderOptions::CheckTileSize(options.tileWidth, options.tileHeight);
    return error.empty();
}
