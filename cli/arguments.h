#pragma once

#include "engine/enginepath.h"
#include "engine/maps.h"
#include "files/exportformat.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel::cli {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// A rectangle of the image, in pixels from its top-left corner.
struct ImageRegion {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// What the command line asks for.
struct Arguments {
    std::string input;                        // a texture document, or empty
    std::string output;                       // -o
    std::optional<int> material;              // --material, 0 to 13
    std::optional<ImageSize> size;            // --size
    int threads = 0;                          // --threads; 0 uses every core
    bool thumbnail = false;                   // --thumbnail: the 50 x 39 library thumbnail
    std::optional<int> maxSize;               // --max-size: the image within N x N
    std::optional<ImageRegion> region;        // --region: only this rectangle of the image
    bool quiet = false;                       // --quiet: no progress bar
    std::string library;                      // --library: render the entries of a .qlb
    std::optional<int> entry;                 // --entry: only this entry, counting from 1
    std::string outDir;                       // --out-dir: where library renders go
    ExportFormat format = ExportFormat::Png;  // --format: of library renders, or of -o
    bool formatGiven = false;                 // -o then takes --format, not its extension
    std::optional<EnginePath> engine;         // --engine: the engine path, for comparing them
    std::optional<MapKind> map;               // --map: one map instead of the colours
    bool maps = false;                        // --maps: every map, named after -o
    std::optional<bool> normalYDown;          // --normal-y up|down (up by default)
    bool normalFromColour = false;            // --normal-from-colour
    std::optional<float> strength;            // --strength, with --normal-from-colour
    bool seamless = false;                    // --seamless: the texture tiles
    bool help = false;
    bool version = false;
};

struct ParsedArguments {
    Arguments arguments;
    std::string error;  // one line; empty when the command line is usable
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after '='. Combinations that make no sense (an output file with --library, --size with
// --thumbnail, ...) are refused here.
ParsedArguments parseArguments(std::span<const std::string_view> args);

// A material by list name, ignoring case, spaces, '-' and '_' ("checker-texture"), or by
// number 0 to 13.
std::optional<int> parseMaterial(std::string_view text);

// "WxH" with each side 1 to 32767.
std::optional<ImageSize> parseSize(std::string_view text);
// "X,Y,W,H" with X and Y from 0, W and H from 1, all within 32767; empty otherwise.
std::optional<ImageRegion> parseRegion(std::string_view text);

// "colour" (or "color"), "normal" or "height", ignoring case.
std::optional<MapKind> parseMapKind(std::string_view text);

// The name --maps derives its files from: -o's name without an extension that names a format
// ("out.png" gives "out"; "out" and "out.v2" stay as they are).
std::string mapsBase(const std::string& output);

std::string usageText();

}  // namespace quorvel::cli
