#include "cli/arguments.h"
#include "cli/library.h"
#include "engine/defaults.h"
#include "engine/seamless.h"
#include "files/imageexport.h"
#include "files/libraryfile.h"
#include "files/mapexport.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::cli {
namespace {

using namespace testing;
using namespace std::string_literals;

// Rows are "TEXT=RESULT", RESULT empty where TEXT is refused.
TEST(ArgumentHelpers, ParseLooselyWithinRangesAndNameOutputsWithoutClashes) {
    for (const std::string row :
         {"marble=1", "Marble=1", "Checker Texture=5", "checker-texture=5", "CHECKER_TEXTURE=5",
          "checker=4", "0=0", "13=13", "inverse dents=", "14=", "-1=", "=", "1.0=", "marbles="}) {
        const std::string text = row.substr(0, row.find('='));
        const std::optional<int> material = parseMaterial(text);
        EXPECT_EQ(material ? std::to_string(*material) : "", row.substr(text.size() + 1)) << row;
    }
    for (const std::string row :
         {"4096x2836=4096x2836", "1x1=1x1", "32767x32767=32767x32767", "64X48=64x48", "0x5=",
          "5x0=", "32768x1=", "1x32768=", "-1x5=", "5=", "x5=", "5x=", "axb=", "5x5x5=", "="}) {
        const std::string text = row.substr(0, row.find('='));
        const std::optional<ImageSize> s = parseSize(text);
        EXPECT_EQ(s ? std::to_string(s->width) + "x" + std::to_string(s->height) : "",
                  row.substr(text.size() + 1));
    }
    // Library renders are named after their entries, without clashes.
    EXPECT_EQ(outputNames({"\\marble.qvl", "\\marble.qvl", "", "\\sub\\x.QVL", "\\marble.qvl",
                           "\\..", "\\notes.txt", "marble-2"},
                          "png"),
              (Names{"marble.png", "marble-2.png", "entry3.png", "x.png", "marble-3.png",
                     "entry6.png", "notes.txt.png", "marble-2-2.png"}));
}

// Rows are ARGS and the start of the error or, where the line is accepted, the maps chosen:
// "c", "n", "h" or "all", "Y" for DirectX's convention, "L" for normals from the colour with
// ten times the strength, "S" for seamless.
TEST(ArgumentHelpers, MapOptionsAndTheirRefusals) {
    const auto chosen = [](const Arguments& a) {
        std::string out = a.maps ? "all" : a.map ? std::string(1, mapName(*a.map)[0]) : "";
        out += a.normalYDown.value_or(false) ? " Y" : "";
        out += a.normalFromColour ? " L" + std::to_string(int(a.strength.value_or(1) * 10)) : "";
        return out + (a.seamless ? " S" : "");
    };
    const std::pair<std::string, std::string> rows[] = {
        {"--map normal -o a.png", "n"},
        {"--map=HEIGHT -o a.png", "h"},
        {"--maps --normal-y down -o a.tga", "all Y"},
        {"--map normal --normal-y up --normal-from-colour --strength 2.5 -o a.png", "n L25"},
        {"--maps --normal-from-color --seamless -o a.png", "all L10 S"},
        {"--seamless -o a.png", " S"},
        {"--map bump -o a.png", "unknown map 'bump'; use colour, normal or height"},
        {"--maps --map normal -o a.png", "--maps writes every map; do not give --map as well"},
        {"--map height -l x.qlb", "--map and --maps render one texture; they do not go with"},
        {"--maps --thumbnail -o a.png", "--map and --maps render the image; they do not go"},
        {"--maps -f png -o -", "--maps writes three files; -o - cannot name them"},
        {"--normal-y down -o a.png", "--normal-y, --normal-from-colour and --strength go with"},
        {"--map height --normal-from-colour -o a.png", "--normal-y, --normal-from-colour and"},
        {"--map normal --normal-y left -o a.png", "invalid --normal-y 'left'; use up (OpenGL)"},
        {"--maps --strength 2 -o a.png", "--strength goes with --normal-from-colour"},
        {"--maps --normal-from-colour --strength 101 -o a", "invalid strength '101'; use a"},
        {"--maps --normal-from-colour --strength nan -o a", "invalid strength 'nan'"},
        {"--maps --normal-from-colour --strength 1x -o a", "invalid strength '1x'"}};
    for (const auto& [line, expected] : rows) {
        std::vector<std::string_view> args;
        for (size_t at = 0; at < line.size();) {
            const size_t end = std::min(line.find(' ', at), line.size());
            args.push_back(std::string_view(line).substr(at, end - at));
            at = end + 1;
        }
        const ParsedArguments parsed = parseArguments(args);
        const std::string got = parsed.error.empty() ? chosen(parsed.arguments) : parsed.error;
        EXPECT_TRUE(got == expected || (got.starts_with(expected) && !parsed.error.empty()))
            << line << ": " << got;
    }
    // --maps names its files after -o without an extension that names a format.
    EXPECT_EQ(mapsBase("a/out.PNG") + "|" + mapsBase("out") + "|" + mapsBase("v1.2/out") + "|" +
                  mapsBase("out.v2") + "|" + mapsBase(".png"),
              "a/out|out|v1.2/out|out.v2|.png");
}

// Runs the built program in `folder` with a HOME of its own, after `prefix` (a command that runs
// it, or nothing): its exit code, output and errors.
std::tuple<int, std::string, std::string> run(const std::string& args, const std::string& folder,
                                              const std::string& prefix = "") {
    ScratchFolder capture;
    const std::string command = "cd " + folder + " && HOME=" + capture.path + " " + prefix +
                                QUORVEL_RENDER_PATH + " " + args + " >" + capture / "out";
    const int status = std::system((command + " 2>" + capture / "err").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes<std::string>(capture / "out"),
            readBytes<std::string>(capture / "err")};
}

TEST(RenderProgram, HelpPrintsUsageAndSucceeds) {
    const auto [exitCode, out, err] = run("--help", ".");
    EXPECT_TRUE(exitCode == 0 && err.empty() && out.starts_with("Usage: quorvel-render")) << out;
}

// Each file must be the file layer's own export of the record and size the options ask for.
TEST(RenderProgram, WritesTheRecordsTheOptionsAskFor) {
    ScratchFolder folder, want;
    // Wood with a relief, a shifted window and its own image size: far from every default.
    TextureParams document = materialDefaults(2), marble = materialDefaults(1);
    document.relief = 3, document.reliefIntensity = 2, document.offset = Vec3{0.25f, -0.5f, 0};
    document.imageWidth = 40, document.imageHeight = 30;
    TextureParams granite = document, small = marble;  // -m keeps relief, offset and size
    applyMaterialDefaults(granite, materialDefaults(8));
    small.imageWidth = 30, small.imageHeight = 20;
    writeBytes(folder / "doc.qvl", documentBytes(document));
    writeBytes(folder / "small.qvl", documentBytes(small));
    const std::vector<LibraryFileEntry> entries = {
        {"\\d", "doc.qvl"}, {"\\b", "small.qvl"}, {"\\gone.qvl", ""}};
    ASSERT_TRUE(writeLibraryFile(folder / "lib.qlb", entries).ok());
    const Sampling s30 = Sampling::image(30, 20), s40 = Sampling::image(40, 30),
                   own = Sampling::image(marble.imageWidth, marble.imageHeight);
    using Files = std::vector<std::tuple<std::string, TextureParams, Sampling>>;
    const std::tuple<std::string, Files, const char*> runs[] = {
        {"--size=30x20 -q --output x.TGA", {{"x.TGA", marble, s30}}, ""},  // Marble by default
        {"doc.qvl --threads=2 -o own.PPM", {{"own.PPM", document, s40}}, ""},
        {"doc.qvl -s 20x10 -o s.png", {{"s.png", document, Sampling::image(20, 10)}}, ""},
        {"doc.qvl --material granite -t 1 -o g.png", {{"g.png", granite, s40}}, ""},
        {"--size 30x20 -o x.QVL", {{"x.QVL", small, s30}}, ""},
        {"-m 2 --thumbnail -o t.png", {{"t.png", materialDefaults(2), Sampling::thumbnail()}}, ""},
        {"--library lib.qlb --format bmp",
         {{"d.bmp", document, s40}, {"b.bmp", small, s30}, {"gone.bmp", marble, own}},
         "quorvel-render: note: entry 3 '\\gone.qvl': its texture file was not found; rendered the "
         "Marble defaults\n"},
        {"-l lib.qlb -e 2 -d . -f .TGA", {{"b.tga", small, s30}}, ""},
    };
    Names names = {"doc.qvl", "lib.qlb", "small.qvl"};
    for (const auto& [args, files, message] : runs) {
        const auto [exitCode, out, err] = run(args, folder.path);
        EXPECT_TRUE(exitCode == 0 && out.empty() && err == message) << args << ": " << err;
        for (const auto& [name, record, sampling] : files) {
            TextureParams copy = record;
            const ExportFormat format = *exportFormatForPath(name);
            const ExportResult wanted = isImageFormat(format)
                                            ? exportImage(want / name, format, copy, sampling)
                                            : exportTexture(want / name, format, copy);
            ASSERT_TRUE(wanted.ok()) << wanted.status.message;
            EXPECT_EQ(readBytes(folder / name), readBytes(want / name)) << args;
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(folder.names(), names);
}

// A bad run prints one line "quorvel-render: error: MESSAGE" and writes nothing: no new file,
// and an existing out.png kept. Exit code 2 is a usage error, 1 any other failure.
TEST(RenderProgram, RefusesBadInputWithItsMessageAndExitCode) {
    const std::tuple<const char*, int, const char*> runs[] = {
        {"-m X -o out.png", 2,
         "unknown material 'X'; use a name such as Marble or a number from 0 to 13 (see --help)"},
        {"--size 0x5 -o out.png", 2,
         "invalid size '0x5'; use WIDTHxHEIGHT with each side from 1 to 32767 (see --help)"},
        {"--threads 0 -o out.png", 2,
         "invalid thread count '0'; use a number from 1 to 256 (see --help)"},
        {"--threads 257 -o out.png", 2,
         "invalid thread count '257'; use a number from 1 to 256 (see --help)"},
        {"--colour -o out.png", 2, "unknown option '--colour' (see --help)"},
        {"-o out.png --size", 2, "option '--size' needs a value (see --help)"},
        {"good.qvl -m Marble", 2, "no output file given; use -o OUT.png (see --help)"},
        {"-o out.gif", 2,
         "cannot tell the format of 'out.gif'; supported extensions: .qvl, .tpr, .tga, .bmp, .jpg, "
         ".png, .ppm"},
        {"missing.qvl -o out.png", 1, "cannot open 'missing.qvl': no such file or directory."},
        {"zero.qvl --size 16x8 -o out.png", 1,
         "'zero.qvl' is not a valid texture document: its image height is 0, outside 1 to 32767."},
        {"-o none/out.png", 1, "cannot create 'none/out.png': no such file or directory."},
        {"--library three.qlb -o out.png", 2,
         "--library writes into --out-dir; do not give -o as well (see --help)"},
        {"-e 2 -o out.png", 2, "--entry and --out-dir go with --library (see --help)"},
        {"--thumbnail --size 5x5 -o out.png", 2,
         "--thumbnail has its own size; do not give --size as well (see --help)"},
        {"--thumbnail -o out.qvl", 2, "--thumbnail makes an image; 'out.qvl' is not one"},
        {"--library three.qlb --entry 9", 2, "'three.qlb' has 3 entries; there is no entry 9"},
        {"-l three.qlb -e 0", 2, "invalid entry '0'; entries count from 1 (see --help)"},
        {"--library corrupt.qlb", 1,
         "'corrupt.qlb' is not a texture library: it lists 1 textures, so it should be 162 bytes "
         "long, but it is 3."},
    };
    ScratchFolder folder;
    TextureParams zero = materialDefaults(2);
    zero.imageHeight = 0;
    writeBytes(folder / "zero.qvl", documentBytes(zero));
    writeBytes(folder / "corrupt.qlb", Bytes{1, 0, 0});
    ASSERT_TRUE(
        writeLibraryFile(folder / "three.qlb", {{"\\a", ""}, {"\\b", ""}, {"\\c", ""}}).ok());
    const Bytes keep = {'k', 'e', 'e', 'p'};
    for (const auto& [args, code, message] : runs) {
        for (const bool existing : {false, true}) {
            if (existing)
                writeBytes(folder / "out.png", keep);
            const Names before = folder.names();
            const auto [exitCode, out, err] = run(args, folder.path);
            EXPECT_TRUE(exitCode == code && out.empty()) << args << ": " << exitCode << out;
            EXPECT_EQ(err, "quorvel-render: error: " + std::string(message) + "\n");
            EXPECT_EQ(folder.names(), before) << args;
            EXPECT_EQ(readBytes(folder / "out.png"), existing ? keep : Bytes{}) << args;
            std::filesystem::remove(folder / "out.png");
        }
    }
}

// --maps writes the file layer's own three maps next to -o's name and tells the height range;
// --seamless is kept in a written document; a map in a format that is no image is refused.
TEST(RenderProgram, WritesMapsAndTheSeamlessChoice) {
    ScratchFolder folder, want;
    const auto [code, out, err] = run(
        "-m Wood -s 24x16 -t 2 --maps --normal-y down --normal-from-colour -o w.tga", folder.path);
    EXPECT_TRUE(code == 0 && out.empty()) << err;
    EXPECT_TRUE(err.starts_with("quorvel-render: note: 'w_height.tga' is normalised to this "
                                "image: black is the height "))
        << err;
    TextureParams wood = materialDefaults(2);
    constexpr MapKind kAll[] = {MapKind::Colour, MapKind::Normal, MapKind::Height};
    ASSERT_TRUE(exportMaps(want / "w", ExportFormat::Targa, kAll, wood, Sampling::image(24, 16),
                           {true, true, 1.0f})
                    .ok());
    for (const std::string name : {"w.tga", "w_normal.tga", "w_height.tga"})
        EXPECT_EQ(readBytes(folder / name), readBytes(want / name)) << name;
    EXPECT_EQ(run("-q --seamless -o s.qvl", folder.path), std::tuple(0, ""s, ""s));
    TextureParams read = newTexture();
    ASSERT_TRUE(readTextureDocument(folder / "s.qvl", read).ok());
    EXPECT_TRUE(isSeamless(read) && !isSeamless(materialDefaults(1)));
    EXPECT_EQ(run("--map normal -o n.tpr", folder.path),
              std::tuple(2, ""s, "quorvel-render: error: maps are images; 'n.tpr' is not one\n"s));
    EXPECT_EQ(folder.names(), (Names{"s.qvl", "w.tga", "w_height.tga", "w_normal.tga"}));
}

// In a shell: standard output and input stand in for files, regions are the whole image's own
// pixels, --max-size keeps the proportions, a missing --out-dir is made, -q silences notes, and
// an interrupt ends with 128 + its number.
TEST(RenderProgram, StreamsRegionsAndSignalsBehaveAsAShellExpects) {
    ScratchFolder folder;
    ASSERT_EQ(std::get<0>(run("-q -s 64x48 -o whole.ppm", folder.path)), 0);
    const std::string header = "P6\n64 12\n255\n";
    std::string joined = "P6\n64 48\n255\n";
    for (const char* region : {"0,0,64,12", "0,12,64,12", "0,24,64,12", "0,36,64,12"}) {
        ASSERT_EQ(std::get<0>(run("-q -s 64x48 --region " + std::string(region) + " -o r.ppm",
                                  folder.path)),
                  0);
        const std::string strip = readBytes<std::string>(folder / "r.ppm");
        ASSERT_TRUE(strip.starts_with(header)) << region;
        joined += strip.substr(header.size());
    }
    EXPECT_EQ(joined, readBytes<std::string>(folder / "whole.ppm"));
    EXPECT_EQ(std::get<2>(run("-q -s 64x48 --region 60,0,8,8 -o r.ppm", folder.path)),
              "quorvel-render: error: cannot write 'r.ppm': the region lies outside the 64 x 48 "
              "image.\n");
    ASSERT_EQ(std::get<0>(run("-q -s 160x120 -o wide.qvl", folder.path)), 0);
    ASSERT_EQ(std::get<0>(run("-q wide.qvl --max-size 100 -o m.ppm", folder.path)), 0);
    EXPECT_TRUE(readBytes<std::string>(folder / "m.ppm").starts_with("P6\n100 75\n"));
    for (const std::string format : {"ppm", "tga", "png", "qvl"}) {
        ASSERT_EQ(std::get<0>(run("-q wide.qvl -o f." + format, folder.path)), 0);
        const auto [code, out, err] =
            run("-q - --format " + format + " -o - <wide.qvl", folder.path);
        EXPECT_TRUE(code == 0 && err.empty()) << format << err;
        EXPECT_EQ(out, readBytes<std::string>(folder / ("f." + format))) << format;
    }
    ASSERT_TRUE(writeLibraryFile(folder / "one.qlb", {{"\\a", ""}}).ok());
    EXPECT_EQ(run("-q -l one.qlb -d new/deeper", folder.path), std::tuple(0, ""s, ""s));
    EXPECT_TRUE(std::filesystem::exists(folder / "new/deeper/a.png"));
    // A long render, interrupted: status 130 and nothing left, not even a hidden partial file.
    const Names before = folder.names();
    const std::string command =
        "cd " + folder.path + " && { " + QUORVEL_RENDER_PATH +
        " -q -m Granite -s 4096x2836 -o big.png 2>/dev/null & sleep 0.3; kill -INT $!;"
        " wait $!; }";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
    EXPECT_EQ(folder.names(), before);
}

int shell(const std::string& folder, const std::string& command) {
    return std::system(("cd " + folder + " && " + command).c_str());
}

// Per row: what the folder holds, who writes, the target, why it is refused (none: replaced)
// and what holds afterwards, when a replaced file holds the image and no other temporary file
// remains. Unprivileged is the tester, or nobody for root; Nobody also owns none of the files;
// Root replaces what cp run by root would.
TEST(WritingTargets, OnlyARegularFileTheUserMayWriteIsReplaced) {
    enum User { Anyone, Root, Unprivileged, Nobody };
    const std::tuple<const char*, User, std::string, const char*, const char*> rows[] = {
        {"mkfifo n && ln -s n t", Anyone, "t", "it links to a named pipe", "test -p n -a -L t"},
        {"mknod n c 1 3 && ln -s n t", Root, "t", "it links to a device", "test -c n -a -L t"},
        // Only a user who could not replace /dev/null even if the check failed links to it.
        {"ln -s /dev/null t", Unprivileged, "t", "it links to a device", "test -L t"},
        {"mkfifo t", Anyone, "t", "it is a named pipe", "test -p t"},
        {"mkdir t", Anyone, "t", "it is a folder", "test -d t"},
        {"ln -s gone t", Anyone, "t", "it is a symbolic link to nothing.", "test ! -e gone"},
        {"ln -s t t", Anyone, "t", "its symbolic links form a loop.", "test -L t"},
        {"echo k >t && chmod 444 t", Unprivileged, "t", "permission denied.", "grep -qx k t"},
        {"echo k >t", Nobody, "t", "permission denied.", "grep -qx k t"},
        {"echo k >t && chmod 444 t", Root, "t", "", "test $(stat -c %a t) = 444"},
        {"touch t && chown nobody t", Root, "t", "", "test $(stat -c %U t) = nobody"},
        {"touch r && chmod 6755 r && ln -s r t", Anyone, "t", "", "test $(stat -c %a r) = 755"},
        {"echo old >.t.quorvel-part", Anyone, "t", "", "test ! -e .t.quorvel-part"},  // killed
        {"flock .t.quorvel-part sleep 2 >&- 2>&- & sleep .3", Anyone, "t", "", "ls .t.*-part"},
        {"true", Anyone, std::string(251, 'a') + ".png", "", "true"},
    };
    const bool root = ::geteuid() == 0;
    const char* nobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
    for (const auto& [setup, user, target, refusal, after] : rows) {
        if (!root && (user == Root || user == Nobody) && std::printf("needs root: %s\n", setup))
            continue;
        ScratchFolder folder;
        ::chmod(folder.path.c_str(), 0777);
        ASSERT_EQ(shell(folder.path, setup), 0) << setup;
        const auto [code, out, err] = run("-q -s 4x4 -f png -o " + target, folder.path,
                                          root && user >= Unprivileged ? nobody : "");
        const std::string why =
            *refusal ? "quorvel-render: error: cannot write '" + target + "': " + refusal : "";
        EXPECT_TRUE(code == !why.empty() && err.starts_with(why) && err.empty() == why.empty())
            << setup << err;
        const std::string holds = *refusal ? "true" : "grep -q PNG " + target;
        EXPECT_EQ(shell(folder.path, after + " && ! ls -A | grep -q 'part.' && "s + holds), 0)
            << setup;
    }
}

// Pipes and devices are refused unread, by the readers that the desktop program's Open, library
// Load and Add call too; a signal ends a wait on standard input. `timeout` turns a wait for ever
// into a failure.
TEST(BlockingInputs, APipeOrDeviceIsRefusedAtOnceAndASignalEndsAWait) {
    ScratchFolder folder;
    ASSERT_EQ(shell(folder.path, "mkfifo p && ln -s p l.qvl && ln -s /dev/zero z.qvl"), 0);
    for (const auto& [args, refusal] : {std::pair{"p -o o.png", "'p': it is a named pipe"},
                                        {"l.qvl -o o.png", "'l.qvl': it is a named pipe"},
                                        {"z.qvl -o o.png", "'z.qvl': it is a device"},
                                        {"-l p", "'p': it is a named pipe"}}) {
        const std::string why = "quorvel-render: error: cannot open "s + refusal + ", not a";
        EXPECT_EQ(run(args, folder.path, "timeout -s KILL 10 "),
                  std::tuple(1, ""s, why + " regular file.\n"));
    }
    EXPECT_EQ(shell(folder.path, "{ sleep 5 >p 2>&- & "s + QUORVEL_RENDER_PATH +
                                     " -q - -f png -o s.png <p & sleep 0.3; kill -TERM $!; "
                                     "wait $!; test $? = 143 -a ! -e s.png; }"),
              0);
}

// Entry names with control bytes, malformed UTF-8, a leading dot or dash, characters other
// file systems refuse or a ".." part: no control byte reaches a note or a file name, no lookup
// leaves the search path, and 32767 equal names are named at once.
TEST(HostileLibraries, NamesAreEscapedMadePortableAndKeptInsideTheSearchPath) {
    // The entries' names, and the output files they give, sorted.
    const Names names = {"\\\x1b[31mred.qvl", "a\tb\nc.qvl",      "\xff\xc0\xaf.qvl",
                         "\\.hidden.qvl",     "\\-rf.qvl",        "\\\u00e9\u202eevil.qvl",
                         "\\a:b|c?.qvl",      "\\..\\outside.qvl"};
    const Names outputs = {"_[31mred.png", "___.png",    "_hidden.png", "_rf.png",
                           "a_b_c.png",    "a_b_c_.png", "outside.png", "\u00e9_evil.png"};
    ScratchFolder folder, out;  // ../outside.qvl from lib/ is a valid texture
    writeBytes(folder / "outside.qvl", documentBytes(materialDefaults(2)));
    std::filesystem::create_directory(folder / "lib");
    std::vector<LibraryFileEntry> entries;
    for (const std::string& name : names)
        entries.push_back({name, ""});
    ASSERT_TRUE(writeLibraryFile(folder / "lib/x.qlb", entries).ok());
    const auto [code, none, err] = run("-s 2x2 -l x.qlb -d " + out.path, folder / "lib");
    EXPECT_TRUE(code == 0 && std::count(err.begin(), err.end(), '\n') == std::ssize(names) &&
                std::none_of(err.begin(), err.end(),
                             [](char c) { return c >= 0 && c < ' ' && c != '\n'; }) &&
                err.find("'\\..\\outside.qvl' is not looked up") != npos)
        << err;
    EXPECT_EQ(out.names(), outputs);
    ASSERT_TRUE(writeLibraryFile(folder / "same.qlb", {32767, {"\\same.qvl", ""}}).ok());
    EXPECT_EQ(run("-q -s 1x1 -l same.qlb -e 32767", folder.path, "timeout -s KILL 10 "),
              std::tuple(0, ""s, ""s));
    EXPECT_TRUE(std::filesystem::exists(folder / "same-32767.png"));
}

}  // namespace
}  // namespace quorvel::cli
