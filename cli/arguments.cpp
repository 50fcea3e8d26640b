#include "cli/arguments.h"

#include "engine/textureparams.h"
#include "files/exportformat.h"
#include "files/imageexport.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace quorvel::cli {

namespace {

std::string folded(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '-' && c != '_') {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// Splits "--name=value" into name and value; `hasValue` tells whether '=' was present.
struct Option {
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
};

Option splitOption(std::string_view arg) {
    const size_t eq = arg.find('=');
    if (arg.starts_with("--") && eq != std::string_view::npos) {
        return {arg.substr(0, eq), arg.substr(eq + 1), true};
    }
    return {arg, {}, false};
}

bool isOneOf(std::string_view name, std::string_view shortName, std::string_view longName) {
    return name == shortName || name == longName;
}

class Parser {
public:
    explicit Parser(std::span<const std::string_view> args) : mArgs(args) {}

    ParsedArguments run() {
        for (mIndex = 0; mIndex < mArgs.size() && mResult.error.empty(); ++mIndex) {
            handle(mArgs[mIndex]);
        }
        if (mResult.error.empty() && !mResult.arguments.help && !mResult.arguments.version) {
            checkCombination(mResult.arguments);
        }
        return mResult;
    }

private:
    void handle(std::string_view arg) {
        Arguments& a = mResult.arguments;
        const Option option = splitOption(arg);
        if (isOneOf(option.name, "-h", "--help")) {
            a.help = true;
        } else if (option.name == "--version") {
            a.version = true;
        } else if (isOneOf(option.name, "-q", "--quiet")) {
            a.quiet = true;
        } else if (isOneOf(option.name, "-o", "--output")) {
            if (const auto v = value(option)) {
                a.output = std::string(*v);
            }
        } else if (isOneOf(option.name, "-m", "--material")) {
            material(option);
        } else if (isOneOf(option.name, "-s", "--size")) {
            size(option);
        } else if (isOneOf(option.name, "-t", "--threads")) {
            threads(option);
        } else if (option.name == "--thumbnail") {
            a.thumbnail = true;
        } else if (option.name == "--max-size") {
            maxSize(option);
        } else if (option.name == "--region") {
            region(option);
        } else if (isOneOf(option.name, "-l", "--library")) {
            if (const auto v = value(option)) {
                a.library = std::string(*v);
            }
        } else if (isOneOf(option.name, "-e", "--entry")) {
            entry(option);
        } else if (isOneOf(option.name, "-d", "--out-dir")) {
            if (const auto v = value(option)) {
                a.outDir = std::string(*v);
            }
        } else if (isOneOf(option.name, "-f", "--format")) {
            format(option);
        } else if (option.name == "--engine") {
            engine(option);
        } else if (option.name == "--map") {
            map(option);
        } else if (option.name == "--maps") {
            a.maps = true;
        } else if (option.name == "--normal-y") {
            normalY(option);
        } else if (option.name == "--normal-from-colour" || option.name == "--normal-from-color") {
            a.normalFromColour = true;
        } else if (option.name == "--strength") {
            strength(option);
        } else if (option.name == "--seamless") {
            a.seamless = true;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            fail("unknown option '" + std::string(arg) + "'");
        } else if (a.input.empty()) {
            a.input = std::string(arg);
        } else {
            fail("more than one input file: '" + a.input + "' and '" + std::string(arg) + "'");
        }
    }

    std::optional<std::string_view> value(const Option& option) {
        if (option.hasValue) {
            return option.value;
        }
        if (mIndex + 1 >= mArgs.size()) {
            fail("option '" + std::string(option.name) + "' needs a value");
            return std::nullopt;
        }
        return mArgs[++mIndex];
    }

    void material(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        mResult.arguments.material = parseMaterial(*v);
        if (!mResult.arguments.material) {
            fail("unknown material '" + std::string(*v) +
                 "'; use a name such as Marble or a number from 0 to 13");
        }
    }

    void size(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        mResult.arguments.size = parseSize(*v);
        if (!mResult.arguments.size) {
            fail("invalid size '" + std::string(*v) +
                 "'; use WIDTHxHEIGHT with each side from 1 to 32767");
        }
    }

    void maxSize(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        const auto n = parseInt(*v);
        if (!n || !isValidImageSize(*n, *n)) {
            fail("invalid --max-size '" + std::string(*v) + "'; use a number from 1 to 32767");
            return;
        }
        mResult.arguments.maxSize = *n;
    }

    void region(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        mResult.arguments.region = parseRegion(*v);
        if (!mResult.arguments.region) {
            fail("invalid region '" + std::string(*v) +
                 "'; use X,Y,WIDTH,HEIGHT inside a 32767 x 32767 image");
        }
    }

    void threads(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        const auto n = parseInt(*v);
        if (!n || *n < 1 || *n > 256) {
            fail("invalid thread count '" + std::string(*v) + "'; use a number from 1 to 256");
            return;
        }
        mResult.arguments.threads = *n;
    }

    // A developer's switch, left out of the usage text: every path gives the same bytes.
    void engine(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        mResult.arguments.engine = parseEnginePath(*v);
        if (!mResult.arguments.engine) {
            fail("unknown engine path '" + std::string(*v) + "'; use scalar, avx2, avx512 or auto");
        }
    }

    void map(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        mResult.arguments.map = parseMapKind(*v);
        if (!mResult.arguments.map) {
            fail("unknown map '" + std::string(*v) + "'; use colour, normal or height");
        }
    }

    void normalY(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        if (folded(*v) == "up" || folded(*v) == "down") {
            mResult.arguments.normalYDown = folded(*v) == "down";
        } else {
            fail("invalid --normal-y '" + std::string(*v) + "'; use up (OpenGL) or down (DirectX)");
        }
    }

    void strength(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        float n = 0.0f;
        const char* end = v->data() + v->size();
        const auto [ptr, ec] = std::from_chars(v->data(), end, n);
        if (ec != std::errc() || ptr != end || !(n >= 0.0f && n <= 100.0f)) {
            fail("invalid strength '" + std::string(*v) + "'; use a number from 0 to 100");
            return;
        }
        mResult.arguments.strength = n;
    }

    void entry(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        const auto n = parseInt(*v);
        if (!n || *n < 1 || *n > 32767) {
            fail("invalid entry '" + std::string(*v) + "'; entries count from 1");
            return;
        }
        mResult.arguments.entry = *n;
    }

    void format(const Option& option) {
        const auto v = value(option);
        if (!v) {
            return;
        }
        std::string_view text = *v;
        if (text.starts_with(".")) {
            text.remove_prefix(1);
        }
        const auto f = exportFormatForExtension(text);
        if (!f) {
            fail("unknown format '" + std::string(*v) + "'; supported: " + supportedExtensions());
            return;
        }
        mResult.arguments.format = *f;
        mResult.arguments.formatGiven = true;
    }

    void checkCombination(const Arguments& a) {
        const bool library = !a.library.empty();
        if (library && !a.output.empty()) {
            fail("--library writes into --out-dir; do not give -o as well");
        } else if (library && !a.input.empty()) {
            fail("--library renders the library's entries; do not give a document as well");
        } else if (!library && a.output.empty()) {
            fail("no output file given; use -o OUT.png");
        } else if (!library && (a.entry || !a.outDir.empty())) {
            fail("--entry and --out-dir go with --library");
        } else if (!library && a.output == "-" && !a.formatGiven) {
            fail("-o - writes to standard output; choose its format with --format EXT");
        } else if (a.thumbnail && a.size) {
            fail("--thumbnail has its own size; do not give --size as well");
        } else if (a.thumbnail && (a.maxSize || a.region)) {
            fail("--thumbnail has its own size; do not give --max-size or --region");
        } else if (a.maxSize && (a.size || a.region)) {
            fail("--max-size chooses the size; do not give --size or --region as well");
        } else if (library && a.region) {
            fail("--region renders one image; it does not go with --library");
        } else {
            checkMaps(a);
        }
    }

    void checkMaps(const Arguments& a) {
        const bool anyMap = a.map || a.maps;
        const bool normal = a.maps || a.map == MapKind::Normal;
        if (a.map && a.maps) {
            fail("--maps writes every map; do not give --map as well");
        } else if (anyMap && !a.library.empty()) {
            fail("--map and --maps render one texture; they do not go with --library");
        } else if (anyMap && a.thumbnail) {
            fail("--map and --maps render the image; they do not go with --thumbnail");
        } else if (a.maps && a.output == "-") {
            fail("--maps writes three files; -o - cannot name them");
        } else if (!normal && (a.normalYDown || a.normalFromColour || a.strength)) {
            fail("--normal-y, --normal-from-colour and --strength go with --map normal or "
                 "--maps");
        } else if (a.strength && !a.normalFromColour) {
            fail("--strength goes with --normal-from-colour");
        }
    }

    void fail(std::string message) {
        if (mResult.error.empty()) {
            mResult.error = std::move(message);
        }
    }

    std::span<const std::string_view> mArgs;
    size_t mIndex = 0;
    ParsedArguments mResult;
};

}  // namespace

ParsedArguments parseArguments(std::span<const std::string_view> args) {
    return Parser(args).run();
}

std::optional<int> parseMaterial(std::string_view text) {
    if (const auto n = parseInt(text)) {
        if (*n >= 0 && *n < kMaterialCount) {
            return n;
        }
        return std::nullopt;
    }
    const std::string wanted = folded(text);
    for (int m = 0; m < kMaterialCount; ++m) {
        if (!wanted.empty() && folded(materialName(m)) == wanted) {
            return m;
        }
    }
    return std::nullopt;
}

std::optional<MapKind> parseMapKind(std::string_view text) {
    const std::string wanted = folded(text);
    for (const MapKind kind : {MapKind::Colour, MapKind::Normal, MapKind::Height}) {
        if (wanted == mapName(kind)) {
            return kind;
        }
    }
    return wanted == "color" ? std::optional(MapKind::Colour) : std::nullopt;
}

std::string mapsBase(const std::string& output) {
    const size_t slash = output.find_last_of('/');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = output.find_last_of('.');
    if (dot == std::string::npos || dot <= name ||
        !exportFormatForExtension(std::string_view(output).substr(dot + 1))) {
        return output;
    }
    return output.substr(0, dot);
}

std::optional<ImageSize> parseSize(std::string_view text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    const auto w = parseInt(text.substr(0, x));
    const auto h = parseInt(text.substr(x + 1));
    if (!w || !h || !isValidImageSize(*w, *h)) {
        return std::nullopt;
    }
    return ImageSize{*w, *h};
}

std::optional<ImageRegion> parseRegion(std::string_view text) {
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const size_t comma = i < 3 ? text.find(',') : text.size();
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        const auto n = parseInt(text.substr(0, comma));
        if (!n || *n < (i < 2 ? 0 : 1) || *n > kMaxImageSide) {
            return std::nullopt;
        }
        values[i] = *n;
        text.remove_prefix(i < 3 ? comma + 1 : comma);
    }
    const ImageRegion region{values[0], values[1], values[2], values[3]};
    if (region.x + region.width > kMaxImageSide || region.y + region.height > kMaxImageSide) {
        return std::nullopt;
    }
    return region;
}

std::string usageText() {
    std::string materials;
    for (int m = 0; m < kMaterialCount; ++m) {
        materials += (m ? ", " : "") + std::to_string(m) + " " + std::string(materialName(m));
    }
    return "Usage: quorvel-render [IN.qvl] [options] -o OUT\n"
           "       quorvel-render --library LIB.qlb [--entry N] [--out-dir DIR] [--format EXT]\n"
           "Renders a texture, or every texture of a library, to image files.\n"
           "\n"
           "  IN.qvl                 texture document to render at its own image size (-\n"
           "                         reads it from standard input); without one, the\n"
           "                         defaults of --material (Marble)\n"
           "  -o, --output OUT       the file to write; the extension (any case) chooses the\n"
           "                         format: " +
           supportedExtensions() +
           "\n"
           "  -m, --material NAME|N  material by name or number; with IN.qvl, switches the\n"
           "                         document to that material's defaults\n"
           "  -s, --size WxH         image size, 1 to 32767 pixels each way\n"
           "      --thumbnail        render the 50 x 39 library thumbnail\n"
           "      --max-size N       the image at its own proportions within N x N pixels\n"
           "      --region X,Y,W,H   only that rectangle of the image, at the image's size;\n"
           "                         its pixels are those of the whole render\n"
           "  -l, --library LIB.qlb  render the entries of a texture library into DIR as\n"
           "                         NAME.EXT, each at its own image size\n"
           "  -e, --entry N          only entry N of the library, counting from 1\n"
           "  -d, --out-dir DIR      folder for library renders (default: the current one)\n"
           "  -f, --format EXT       format of library renders (default: png); with -o, the\n"
           "                         format whatever the name (-o - is standard output)\n"
           "      --seamless         make the texture tile: its scales are rounded to whole\n"
           "                         cells, so that copies side by side show no seam\n"
           "      --map KIND         write one map instead of the colours: colour, normal\n"
           "                         (the relief's normals, tangent space) or height (the\n"
           "                         relief's heights, else the colour's luminance)\n"
           "      --maps             write all three: OUT's name as NAME.EXT, NAME_normal.EXT\n"
           "                         and NAME_height.EXT, all or none\n"
           "      --normal-y up|down normal maps' green points up (OpenGL, default) or down\n"
           "                         (DirectX)\n"
           "      --normal-from-colour  without a relief, normals from the slope of the\n"
           "                         colour's luminance (else a flat map)\n"
           "      --strength N       how steep those normals are, 0 to 100 (default: 1)\n"
           "  -t, --threads N        worker threads (default: every core)\n"
           "      --engine PATH      scalar, avx2, avx512 or auto (default): the same\n"
           "                         bytes on every path; a path this processor lacks is\n"
           "                         refused\n"
           "  -q, --quiet            no progress bar and no notes\n"
           "  -h, --help             show this help\n"
           "      --version          show the version\n"
           "\n"
           "Materials: " +
           materials +
           ".\n"
           "Height maps use their whole range, normalised to each image: 16-bit grey in\n"
           "PNG, 8-bit grey in the other formats; a note tells the heights at each end.\n"
           "Exit status: 0 on success, 2 for a usage error, 1 for any other failure,\n"
           "128 + N when ended by signal N (SIGINT, SIGTERM, SIGHUP, SIGQUIT).\n";
}

}  // namespace quorvel::cli
