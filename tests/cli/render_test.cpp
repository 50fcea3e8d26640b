#include "engine/defaults.h"
#include "files/imageexport.h"
#include "files/libraryfile.h"
#include "files/targaencoder.h"
#include "files/texturedocument.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quorvel::cli {
namespace {

using testing::decodePng;
using testing::engineImage;
using testing::readBytes;
using testing::ScratchFolder;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built program with its standard output and error sent to files in a folder of
// their own, so that they never show up in the listing of the folder under test.
Outcome runProgram(const std::vector<std::string>& args) {
    ScratchFolder capture;
    const std::string outPath = capture / "stdout";
    const std::string errPath = capture / "stderr";
    std::vector<std::string> all = {QUORVEL_RENDER_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    Outcome outcome;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot run " << argv[0];
        return outcome;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = testing::readText(outPath);
    outcome.err = testing::readText(errPath);
    return outcome;
}

void writeDocument(const std::string& path, const TextureParams& record) {
    const TextureDocumentBytes bytes = encodeTextureDocument(record);
    testing::writeBytes(path, {bytes.begin(), bytes.end()});
}

// Wood with a relief, a shifted window and its own image size: far from every default.
TextureParams documentRecord() {
    TextureParams record = materialDefaults(2);
    record.relief = 3;
    record.reliefIntensity = 2.0f;
    record.offset = Vec3{0.25f, -0.5f, 0.0f};
    record.imageWidth = 40;
    record.imageHeight = 30;
    return record;
}

void expectImage(const std::string& path, const TextureParams& record, int w, int h) {
    const testing::DecodedPng png = decodePng(path);
    ASSERT_TRUE(png.ok) << path;
    EXPECT_EQ(png.width, w);
    EXPECT_EQ(png.height, h);
    EXPECT_EQ(png.rgb, engineImage(record, w, h));
}

TEST(RenderProgram, HelpPrintsUsageAndSucceeds) {
    const Outcome o = runProgram({"--help"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(o.out.starts_with("Usage: quorvel-render")) << o.out;
    EXPECT_NE(o.out.find(".jpg, .png, .ppm"), std::string::npos);
    EXPECT_EQ(o.err, "");
}

TEST(RenderProgram, RendersAMaterialsDefaults) {
    ScratchFolder folder;
    const Outcome o = runProgram({"-m", "Marble", "--size", "64x48", "-o", folder / "x.png"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
    expectImage(folder / "x.png", materialDefaults(1), 64, 48);
    // Marble is also what is rendered when no material is named.
    ASSERT_EQ(runProgram({"--size", "64x48", "-q", "-o", folder / "y.png"}).exitCode, 0);
    EXPECT_EQ(readBytes(folder / "x.png"), readBytes(folder / "y.png"));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"x.png", "y.png"}));
}

TEST(RenderProgram, OutputDoesNotDependOnThreadsOrRun) {
    ScratchFolder folder;
    TextureParams record = materialDefaults(3);  // Brick: its render writes to the record
    record.imageWidth = 80;
    record.imageHeight = 61;
    writeDocument(folder / "brick.qvl", record);
    const std::vector<std::vector<std::string>> runs = {
        {"--threads", "1", "-o", folder / "a.png"},
        {"--threads", "2", "-o", folder / "b.png"},
        {"--threads=2", "-o", folder / "c.png"},
    };
    for (std::vector<std::string> args : runs) {
        args.insert(args.begin(), folder / "brick.qvl");
        ASSERT_EQ(runProgram(args).exitCode, 0);
    }
    const std::vector<uint8_t> first = readBytes(folder / "a.png");
    EXPECT_EQ(first, readBytes(folder / "b.png"));
    EXPECT_EQ(first, readBytes(folder / "c.png"));
    expectImage(folder / "a.png", record, 80, 61);
}

TEST(RenderProgram, ADocumentRendersAtItsOwnSizeUnlessToldOtherwise) {
    ScratchFolder folder;
    const TextureParams record = documentRecord();
    writeDocument(folder / "doc.qvl", record);
    ASSERT_EQ(runProgram({folder / "doc.qvl", "-o", folder / "own.png"}).exitCode, 0);
    expectImage(folder / "own.png", record, 40, 30);
    ASSERT_EQ(
        runProgram({folder / "doc.qvl", "--size", "20x10", "-o", folder / "small.png"}).exitCode,
        0);
    expectImage(folder / "small.png", record, 20, 10);

    ASSERT_EQ(runProgram({folder / "doc.qvl", "-o", folder / "own.ppm"}).exitCode, 0);
    const std::string header = "P6\n40 30\n255\n";
    const std::vector<uint8_t> ppm = readBytes(folder / "own.ppm");
    ASSERT_GT(ppm.size(), header.size());
    EXPECT_EQ(std::vector<uint8_t>(ppm.begin() + header.size(), ppm.end()),
              engineImage(record, 40, 30));
}

TEST(RenderProgram, MaterialSwitchesADocumentToThatMaterialsDefaults) {
    ScratchFolder folder;
    writeDocument(folder / "doc.qvl", documentRecord());
    ASSERT_EQ(runProgram({folder / "doc.qvl", "-m", "granite", "-o", folder / "g.png"}).exitCode,
              0);
    TextureParams expected = documentRecord();
    applyMaterialDefaults(expected, materialDefaults(8));  // relief, offset and size are kept
    expectImage(folder / "g.png", expected, 40, 30);
    EXPECT_NE(engineImage(expected, 40, 30), engineImage(documentRecord(), 40, 30));
}

TEST(RenderProgram, TheOutputsExtensionChoosesTheFormatInAnyCase) {
    ScratchFolder folder;
    TextureParams marble = materialDefaults(1);
    marble.imageWidth = 30;
    marble.imageHeight = 20;
    const auto tga = targaHeader(30, 20);
    const auto qvl = encodeTextureDocument(marble);
    struct Row {
        const char* name;
        std::vector<uint8_t> start;  // what the file must begin with
    };
    const Row rows[] = {
        {"x.TGA", {tga.begin(), tga.end()}},
        {"x.jPg", {0xFF, 0xD8, 0xFF}},
        {"x.QVL", {qvl.begin(), qvl.end()}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome o = runProgram({"--size", "30x20", "-o", folder / row.name});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        const std::vector<uint8_t> file = readBytes(folder / row.name);
        ASSERT_GE(file.size(), row.start.size());
        EXPECT_TRUE(std::equal(row.start.begin(), row.start.end(), file.begin()));
    }
}

TEST(RenderProgram, ThumbnailTakesTheLibrarysSamples) {
    ScratchFolder folder;
    ASSERT_EQ(runProgram({"-m", "Wood", "--thumbnail", "-o", folder / "t.png"}).exitCode, 0);
    TextureParams wood = materialDefaults(2);
    initNoise();
    applyRenderWrites(wood);
    const Sampling sampling = Sampling::thumbnail();
    std::vector<uint8_t> expected(50 * 39 * 3);
    for (int row = 0; row < 39; ++row) {
        renderRow(wood, sampling, row, std::span<uint8_t>(expected).subspan(row * 150, 150));
    }
    const testing::DecodedPng png = decodePng(folder / "t.png");
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, 50);
    EXPECT_EQ(png.height, 39);
    EXPECT_EQ(png.rgb, expected);
}

TEST(RenderProgram, RendersALibrarysEntriesIntoAFolder) {
    ScratchFolder folder;
    const testing::ScopedEnvironment home("HOME", folder.path());  // no ~/qvl to fall back on
    TextureParams granite = materialDefaults(8);
    granite.imageWidth = 21;
    granite.imageHeight = 13;
    writeDocument(folder / "a.qvl", documentRecord());
    writeDocument(folder / "b.qvl", granite);
    ASSERT_TRUE(writeLibraryFile(folder / "lib.qlb", {{"\\a.qvl", folder / "a.qvl"},
                                                      {"\\b.qvl", folder / "b.qvl"},
                                                      {"\\gone.qvl", folder / "gone.qvl"}})
                    .ok());
    // The expected files, written by the file layer from the records the entries must use.
    ScratchFolder want;
    const std::pair<std::string, TextureParams> wanted[] = {
        {"a.bmp", documentRecord()}, {"b.bmp", granite}, {"gone.bmp", materialDefaults(1)}};
    for (auto [name, record] : wanted) {
        ASSERT_TRUE(exportTexture(want / name, ExportFormat::Bitmap, record).ok());
    }
    using Names = std::vector<std::string>;
    const auto expectOutputs = [&](const ScratchFolder& dir, const Names& names) {
        EXPECT_EQ(dir.names(), names);
        for (const std::string& name : names) {
            EXPECT_EQ(readBytes(dir / name), readBytes(want / name)) << name;
        }
    };

    ScratchFolder all;
    const Outcome o = runProgram(
        {"--library", folder / "lib.qlb", "--out-dir", all.path(), "--format", "bmp"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(o.err.starts_with("quorvel-render: note: entry 3 '\\gone.qvl'")) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    expectOutputs(all, {"a.bmp", "b.bmp", "gone.bmp"});

    ScratchFolder second;
    const Outcome only = runProgram({"--library", folder / "lib.qlb", "--entry", "2", "--out-dir",
                                     second.path(), "--format", "BMP"});
    EXPECT_EQ(only.exitCode, 0);
    EXPECT_EQ(only.err, "");
    expectOutputs(second, {"b.bmp"});
}

struct BadRun {
    const char* name;
    std::vector<std::string> args;  // "@/" stands for the test's folder
    const char* output;             // the file that must not appear or change, or ""
    int exitCode;
    const char* mentions;  // a text the message must hold
};

// Keeps the test list readable: a case prints as its name, not as raw bytes.
void PrintTo(const BadRun& c, std::ostream* os) { *os << c.name; }

class RenderProgramRefuses : public ::testing::TestWithParam<BadRun> {};

TEST_P(RenderProgramRefuses, WithOneErrorLineAndNoOutput) {
    const BadRun& c = GetParam();
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "with an existing output file" : "without an output file");
        ScratchFolder folder;
        const std::string dir = folder.path() + "/";
        writeDocument(dir + "good.qvl", documentRecord());
        testing::writeBytes(dir + "short.qvl", std::vector<uint8_t>(1121, 0));
        TextureParams zero = documentRecord();
        zero.imageHeight = 0;
        writeDocument(dir + "zero.qvl", zero);
        ASSERT_TRUE(writeLibraryFile(dir + "three.qlb", {{"\\a.qvl", dir + "good.qvl"},
                                                          {"\\b.qvl", dir + "good.qvl"},
                                                          {"\\c.qvl", dir + "good.qvl"}})
                        .ok());
        testing::writeBytes(dir + "corrupt.qlb", {1, 0, 0});
        const std::string output = *c.output ? dir + c.output : "";
        if (existing && !output.empty() &&
            std::filesystem::is_directory(std::filesystem::path(output).parent_path())) {
            testing::writeText(output, "precious");
        }
        const std::vector<std::string> before = folder.names();
        std::vector<std::string> args;
        for (const std::string& a : c.args) {
            args.push_back(a.starts_with("@/") ? dir + a.substr(2) : a);
        }
        const Outcome o = runProgram(args);
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_TRUE(o.err.starts_with("quorvel-render: error: ")) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_TRUE(o.err.ends_with("\n")) << o.err;
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(folder.names(), before);
        if (existing && std::filesystem::exists(output)) {
            EXPECT_EQ(testing::readText(output), "precious");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RenderProgramRefuses,
    ::testing::Values(
        BadRun{"UnknownMaterial", {"-m", "Plaid", "-o", "@/out.png"}, "out.png", 2, "'Plaid'"},
        BadRun{"MaterialOutOfRange", {"-m", "14", "-o", "@/out.png"}, "out.png", 2, "'14'"},
        BadRun{"ZeroWidth", {"--size", "0x5", "-o", "@/out.png"}, "out.png", 2, "'0x5'"},
        BadRun{"SizeWithoutHeight", {"--size", "5", "-o", "@/out.png"}, "out.png", 2, "'5'"},
        BadRun{"ZeroThreads", {"--threads", "0", "-o", "@/out.png"}, "out.png", 2, "'0'"},
        BadRun{"UnknownOption", {"--colour", "-o", "@/out.png"}, "out.png", 2, "'--colour'"},
        BadRun{"OptionWithoutValue", {"-o", "@/out.png", "--size"}, "out.png", 2, "--size"},
        BadRun{"NoOutput", {"@/good.qvl", "-m", "Marble"}, "", 2, "-o"},
        BadRun{"GifOutput", {"-o", "@/out.gif"}, "out.gif", 2, ".bmp, .jpg, .png, .ppm"},
        BadRun{"OutputWithoutExtension", {"-o", "@/out"}, "out", 2, ".tga, .bmp"},
        BadRun{
            "MissingDocument", {"@/missing.qvl", "-o", "@/out.png"}, "out.png", 1, "missing.qvl"},
        BadRun{"ShortDocument", {"@/short.qvl", "-o", "@/out.png"}, "out.png", 1, "1122"},
        BadRun{"FolderAsDocument", {"@/", "-o", "@/out.png"}, "out.png", 1, "folder"},
        BadRun{"DocumentOfSizeZero", {"@/zero.qvl", "-o", "@/out.png"}, "out.png", 1, "image height is 0"},
        BadRun{"SizeDoesNotRescueABadDocument",
               {"@/zero.qvl", "--size", "16x8", "-o", "@/out.png"}, "out.png", 1, "image height"},
        BadRun{"OutputFolderMissing", {"-o", "@/none/out.png"}, "none/out.png", 1, "none/out.png"},
        BadRun{"OutputWithLibrary", {"--library", "@/three.qlb", "-o", "@/out.png"}, "out.png", 2,
               "--out-dir"},
        BadRun{"EntryWithoutLibrary", {"--entry", "2", "-o", "@/out.png"}, "out.png", 2,
               "go with --library"},
        BadRun{"ThumbnailWithSize", {"--thumbnail", "--size", "5x5", "-o", "@/out.png"},
               "out.png", 2, "--size"},
        BadRun{"ThumbnailAsDocument", {"--thumbnail", "-o", "@/out.qvl"}, "out.qvl", 2,
               "--thumbnail"},
        BadRun{"EntryBeyondTheLibrary", {"--library", "@/three.qlb", "--entry", "9", "--out-dir",
               "@/"}, "", 2, "no entry 9"},
        BadRun{"CorruptLibrary", {"--library", "@/corrupt.qlb", "--out-dir", "@/"}, "", 1,
               "corrupt.qlb' is not a texture library"}),
    [](const ::testing::TestParamInfo<BadRun>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvel::cli
