#include "engine/defaults.h"
#include "files/imageexport.h"
#include "files/libraryfile.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/wait.h>

namespace quorvel::cli {
namespace {

using namespace testing;

std::string text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built program with "@/" at the start of an argument standing for `folder`, and its
// standard output and error sent to files of their own folder, so that they never show up in
// the listing of the folder under test.
Outcome runProgram(const std::vector<std::string>& args, const std::string& folder = "") {
    ScratchFolder capture;
    std::string command = QUORVEL_RENDER_PATH;
    for (const std::string& a : args) {
        command += " '" + (a.starts_with("@/") ? folder + a.substr(1) : a) + "'";
    }
    command += " >" + capture / "out" + " 2>" + capture / "err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(readBytes(capture / "out")),
            text(readBytes(capture / "err"))};
}

// Wood with a relief, a shifted window and its own image size: far from every default.
TextureParams documentRecord() {
    TextureParams r = materialDefaults(2);
    r.relief = 3, r.reliefIntensity = 2.0f, r.offset = Vec3{0.25f, -0.5f, 0.0f};
    r.imageWidth = 40, r.imageHeight = 30;
    return r;
}

TEST(RenderProgram, HelpPrintsUsageAndSucceeds) {
    const Outcome o = runProgram({"--help"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(o.out.starts_with("Usage: quorvel-render")) << o.out;
    EXPECT_NE(o.out.find(".jpg, .png, .ppm"), std::string::npos);
    EXPECT_EQ(o.err, "");
}

// Each run's file must be the file layer's export of the record the options ask for, and a PNG
// must hold the engine's own pixels.
TEST(RenderProgram, WritesTheRecordTheOptionsAskFor) {
    ScratchFolder folder, want;
    const auto sized = [](TextureParams record, int16_t width, int16_t height) {
        record.imageWidth = width, record.imageHeight = height;
        return record;
    };
    const TextureParams brick = sized(materialDefaults(3), 80, 61);  // its render writes to it
    const TextureParams document = documentRecord(), marble = materialDefaults(1);
    TextureParams granite = document;  // -m keeps relief, offset and size
    applyMaterialDefaults(granite, materialDefaults(8));
    writeBytes(folder / "brick.qvl", documentBytes(brick));
    writeBytes(folder / "doc.qvl", documentBytes(document));
    const Sampling s64 = Sampling::image(64, 48), s40 = Sampling::image(40, 30);
    const Sampling s80 = Sampling::image(80, 61), s30 = Sampling::image(30, 20);
    struct Run {
        std::vector<std::string> args;
        std::string output;
        TextureParams record;
        Sampling sampling;
    };
    const Run runs[] = {
        {{"-m", "Marble", "--size", "64x48"}, "x.png", marble, s64},
        {{"--size", "64x48", "-q"}, "y.png", marble, s64},  // Marble when none is named
        {{"@/brick.qvl", "--threads", "1"}, "t1.png", brick, s80},
        {{"@/brick.qvl", "--threads", "2"}, "t2.png", brick, s80},
        {{"@/brick.qvl", "--threads=2"}, "t3.png", brick, s80},
        {{"@/doc.qvl"}, "own.png", document, s40},
        {{"@/doc.qvl", "--size", "20x10"}, "small.png", document, Sampling::image(20, 10)},
        {{"@/doc.qvl", "--material", "granite"}, "g.png", granite, s40},
        {{"@/doc.qvl"}, "own.PPM", document, s40},
        {{"--size", "30x20"}, "x.TGA", marble, s30},
        {{"--size", "30x20"}, "x.jPg", marble, s30},
        {{"--size", "30x20"}, "x.QVL", sized(marble, 30, 20), s30},
        {{"-m", "Wood", "--thumbnail"}, "thumb.png", materialDefaults(2), Sampling::thumbnail()},
    };
    Names names = {"brick.qvl", "doc.qvl"};
    for (const Run& run : runs) {
        SCOPED_TRACE(run.output);
        std::vector<std::string> args = run.args;
        args.insert(args.end(), {"-o", "@/" + run.output});
        const Outcome o = runProgram(args, folder.path);
        ASSERT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(o.out + o.err, "");
        names.push_back(run.output);

        TextureParams record = run.record;
        const ExportFormat format = *exportFormatForPath(run.output);
        const ExportResult wanted =
            isImageFormat(format) ? exportImage(want / run.output, format, record, run.sampling)
                                  : exportTexture(want / run.output, format, record);
        ASSERT_TRUE(wanted.ok()) << wanted.status.message;
        EXPECT_EQ(readBytes(folder / run.output), readBytes(want / run.output));
        if (format == ExportFormat::Png) {
            const DecodedImage png = decodePng(folder / run.output);
            EXPECT_EQ(png.rgb, engineImage(run.record, run.sampling));
            EXPECT_EQ(png.width, run.sampling.width());
        }
    }
    EXPECT_NE(readBytes(folder / "g.png"), readBytes(folder / "own.png"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(folder.names(), names);
}

TEST(RenderProgram, RendersALibrarysEntriesIntoAFolder) {
    ScratchFolder folder, want, all, second;
    const ScopedHome home(folder.path);  // no ~/qvl to fall back on
    TextureParams granite = materialDefaults(8);
    granite.imageWidth = 21, granite.imageHeight = 13;
    writeBytes(folder / "a.qvl", documentBytes(documentRecord()));
    writeBytes(folder / "b.qvl", documentBytes(granite));
    ASSERT_TRUE(writeLibraryFile(folder / "lib.qlb", {{"\\a.qvl", folder / "a.qvl"},
                                                      {"\\b.qvl", folder / "b.qvl"},
                                                      {"\\gone.qvl", folder / "gone.qvl"}})
                    .ok());
    // The expected files, written by the file layer from the records the entries must use.
    const std::pair<std::string, TextureParams> wanted[] = {
        {"a.bmp", documentRecord()}, {"b.bmp", granite}, {"gone.bmp", materialDefaults(1)}};
    for (auto [name, record] : wanted) {
        ASSERT_TRUE(exportTexture(want / name, ExportFormat::Bitmap, record).ok());
    }
    const Outcome o = runProgram(
        {"--library", "@/lib.qlb", "--out-dir", all.path, "--format", "bmp"}, folder.path);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(o.err.starts_with("quorvel-render: note: entry 3 '\\gone.qvl'")) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    const Outcome only = runProgram(
        {"--library", "@/lib.qlb", "--entry", "2", "--out-dir", second.path, "--format", "BMP"},
        folder.path);
    EXPECT_EQ(only.exitCode, 0);
    EXPECT_EQ(only.out + only.err, "");
    for (const auto& [dir, names] : {std::pair{&all, Names{"a.bmp", "b.bmp", "gone.bmp"}},
                                     std::pair{&second, Names{"b.bmp"}}}) {
        EXPECT_EQ(dir->names(), names);
        for (const std::string& name : names) {
            EXPECT_EQ(readBytes(*dir / name), readBytes(want / name)) << name;
        }
    }
}

TEST(RenderProgram, RefusesBadInputWithOneErrorLineAndNoOutput) {
    struct BadRun {
        std::vector<std::string> args;
        const char* output;  // the file that must not appear or change, or ""
        int exitCode;        // 2 for a usage error, 1 for a failure
        const char* mentions;
    };
    const BadRun runs[] = {
        {{"-m", "Plaid", "-o", "@/out.png"}, "out.png", 2, "'Plaid'"},
        {{"--size", "0x5", "-o", "@/out.png"}, "out.png", 2, "'0x5'"},
        {{"--threads", "0", "-o", "@/out.png"}, "out.png", 2, "'0'"},
        {{"--colour", "-o", "@/out.png"}, "out.png", 2, "'--colour'"},
        {{"-o", "@/out.png", "--size"}, "out.png", 2, "--size"},
        {{"@/good.qvl", "-m", "Marble"}, "", 2, "-o"},
        {{"-o", "@/out.gif"}, "out.gif", 2, ".bmp, .jpg, .png, .ppm"},
        {{"@/missing.qvl", "-o", "@/out.png"}, "out.png", 1, "missing.qvl"},
        {{"@/short.qvl", "-o", "@/out.png"}, "out.png", 1, "1122"},
        {{"@/zero.qvl", "--size", "16x8", "-o", "@/out.png"}, "out.png", 1, "image height is 0"},
        {{"-o", "@/none/out.png"}, "none/out.png", 1, "none/out.png"},
        {{"--library", "@/three.qlb", "-o", "@/out.png"}, "out.png", 2, "--out-dir"},
        {{"--entry", "2", "-o", "@/out.png"}, "out.png", 2, "go with --library"},
        {{"--thumbnail", "--size", "5x5", "-o", "@/out.png"}, "out.png", 2, "--size"},
        {{"--thumbnail", "-o", "@/out.qvl"}, "out.qvl", 2, "--thumbnail"},
        {{"--library", "@/three.qlb", "--entry", "9", "--out-dir", "@/"}, "", 2, "no entry 9"},
        {{"--library", "@/corrupt.qlb", "--out-dir", "@/"}, "", 1, "is not a texture library"},
    };
    ScratchFolder folder;
    TextureParams zero = documentRecord();
    zero.imageHeight = 0;
    writeBytes(folder / "good.qvl", documentBytes(documentRecord()));
    writeBytes(folder / "short.qvl", Bytes(1121, 0));
    writeBytes(folder / "zero.qvl", documentBytes(zero));
    writeBytes(folder / "corrupt.qlb", Bytes{1, 0, 0});
    ASSERT_TRUE(
        writeLibraryFile(folder / "three.qlb", {{"\\a", ""}, {"\\b", ""}, {"\\c", ""}}).ok());
    for (const BadRun& run : runs) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(run.args[0] + " ... " + run.mentions + (existing ? ", over a file" : ""));
            const std::string output = folder / run.output;
            if (existing && *run.output) {
                std::ofstream(output) << "keep";  // fails quietly where the folder is missing
            }
            const Names before = folder.names();
            const Outcome o = runProgram(run.args, folder.path);
            EXPECT_EQ(o.exitCode, run.exitCode);
            EXPECT_TRUE(o.err.starts_with("quorvel-render: error: ")) << o.err;
            EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
            EXPECT_TRUE(o.err.ends_with("\n")) << o.err;
            EXPECT_NE(o.err.find(run.mentions), std::string::npos) << o.err;
            EXPECT_EQ(o.out, "");
            EXPECT_EQ(folder.names(), before);
            if (existing && *run.output && std::filesystem::exists(output)) {
                EXPECT_EQ(text(readBytes(output)), "keep");
                std::filesystem::remove(output);
            }
        }
    }
}

}  // namespace
}  // namespace quorvel::cli
