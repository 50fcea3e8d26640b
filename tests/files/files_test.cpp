#include "engine/defaults.h"
#include "engine/noise.h"
#include "files/atomicfile.h"
#include "files/bitmapencoder.h"
#include "files/imageexport.h"
#include "files/libraryfile.h"
#include "files/searchpath.h"
#include "files/targaencoder.h"
#include "files/tprfile.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstring>
#include <numeric>
#include <random>
#include <set>

#include <jpeglib.h>
#include <png.h>
#include <sys/resource.h>

namespace quorvel {
namespace {

using namespace testing;

// Random bytes in which every 4-byte window is a finite float (bit 6 of each byte clear), as a
// record: every field differs from every other, so a shifted offset shows.
TextureParams randomRecord(unsigned seed, Bytes* bytes = nullptr) {
    std::mt19937 random(seed);
    Bytes own(kTextureDocumentBytes), &b = bytes ? *bytes : own;
    b.resize(kTextureDocumentBytes);
    std::generate(b.begin(), b.end(), [&] { return static_cast<uint8_t>(random() & 0xBF); });
    TextureParams record = newTexture();
    EXPECT_TRUE(decodeTextureDocument(b, record, "random.qvl").ok());
    return record;
}

TEST(TextureDocumentAndTpr, EveryFieldRoundTripsAtItsFixedPlace) {
    Bytes bytes;
    TextureParams r = randomRecord(1122, &bytes);
    // The map reference (42 to 45) and the six bytes after the map count carry nothing.
    for (const size_t i : {42, 43, 44, 45, 156, 157, 158, 159, 160, 161})
        bytes[i] = 0;
    EXPECT_EQ(documentBytes(r), bytes);
    EXPECT_FALSE(decodeTextureDocument(Bytes(1123, 0), r, "").ok());
    // A .tpr is byte 0, bytes 2 to 63 and the map from byte 154 of the document.
    Bytes tpr = {bytes[0]};
    tpr.insert(tpr.end(), bytes.begin() + 2, bytes.begin() + 64);
    tpr.insert(tpr.end(), bytes.begin() + 154, bytes.end());
    ScratchFolder folder;
    ASSERT_TRUE(writeTprFile(folder / "a.tpr", r).ok() &&
                writeTextureFile(folder / "a.qvl", r).ok());
    EXPECT_EQ(readBytes(folder / "a.tpr"), tpr);
    EXPECT_EQ(readBytes(folder / "a.qvl"), bytes);
    // Entry 0's start and end from byte 162: 0.25f is 0x3E800000, 1.5f is 0x3FC00000.
    r.material = 11, r.relief = -3, r.imageWidth = 321, r.colourMap.count = 17;
    r.colourMap.entries[0].start = 0.25f, r.colourMap.entries[0].end = 1.5f;
    const Bytes b = documentBytes(r), newOne = documentBytes(newTexture());
    EXPECT_EQ((Bytes{b[0], b[1], b[136], b[137], b[154], b[155], b[164], b[165], b[168], b[169]}),
              (Bytes{11, 0xFD, 321 & 0xFF, 321 >> 8, 17, 0, 0x80, 0x3E, 0xC0, 0x3F}));
    EXPECT_EQ(newOne[154], 24);
}

TEST(TextureDocument, ReaderRefusesBadFilesNamingThemAndLeavingTheRecord) {
    // A record with every value at an edge of what a document may hold, then spoiled.
    const auto edge = [](void (*spoil)(TextureParams&)) {
        TextureParams r = randomRecord(1122);
        r.material = 13, r.relief = 7, r.imageWidth = 1, r.imageHeight = 32767, r.octaves = 256;
        spoil(r);
        return std::optional(documentBytes(r));
    };
    using R = TextureParams&;
    const std::tuple<const char*, std::optional<Bytes>, const char*> cases[] = {
        {"good.qvl", edge([](R) {}), ""},  // "": the file is good
        {"missing.qvl", std::nullopt, "no such file"},
        {"folder.qvl", std::nullopt, "folder"},
        {"empty.qvl", Bytes{}, "it is 0 bytes long"},
        {"short.qvl", Bytes(1121, 1), "1122"},
        {"long.qvl", Bytes(1123, 1), "1122"},
        {"m14.qvl", edge([](R r) { r.material = 14; }), "material is 14"},
        {"m-1.qvl", edge([](R r) { r.material = -1; }), "material is -1"},
        {"r8.qvl", edge([](R r) { r.relief = 8; }), "relief is 8"},
        {"w0.qvl", edge([](R r) { r.imageWidth = 0; }), "image width is 0"},
        {"h-5.qvl", edge([](R r) { r.imageHeight = -5; }), "image height is -5"},
        {"d257.qvl", edge([](R r) { r.octaves = 257; }), "detail is 257"},
        {"d-1.qvl", edge([](R r) { r.octaves = -1; }), "detail is -1"},
        {"nan.qvl", edge([](R r) { r.turbulence = NAN; }), "turbulence"},
        {"inf.qvl", edge([](R r) { r.scale.y = -HUGE_VALF; }), "scale"},
        {"map.qvl", edge([](R r) { r.colourMap.entries[23].endColour.b = NAN; }), "colour map"},
    };
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "folder.qvl");
    for (const auto& [file, bytes, mentions] : cases) {
        SCOPED_TRACE(file);
        if (bytes)
            writeBytes(folder / file, *bytes);
        TextureParams record = randomRecord(7);  // unlike the file's record in every field
        const FileStatus status = readTextureDocument(folder / file, record);
        EXPECT_EQ(documentBytes(record), *mentions ? documentBytes(randomRecord(7)) : *bytes);
        EXPECT_EQ(status.ok(), !*mentions);
        EXPECT_NE(status.message.find(*mentions ? "'" + folder / file + "'" : ""), npos);
        EXPECT_NE(status.message.find(mentions), npos) << status.message;
    }
}

TEST(TargaAndBitmapLayouts, HeadersRunPacketsAndRowPadding) {
    EXPECT_EQ(targaHeader(300, 2),
              (std::array<uint8_t, 18>{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2C, 1, 2, 0, 24, 8}));
    // Width 5, height 3, 16 bytes a row, 1 plane of 24 bits; a 40-byte info header; zeros.
    Bytes bitmap = {0, 0, 5, 0, 3, 0, 16, 0, 1, 24, 40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 24};
    bitmap.resize(1074);
    const auto header = bitmapHeader(5, 3);
    EXPECT_EQ(Bytes(header.begin(), header.end()), bitmap);
    EXPECT_EQ(bitmapRowBytes(2), 6u);  // rows pad to an even length, not a multiple of four
    // Targa rows of pixels named by digits, and the lengths of their run packets: at most 128
    // pixels each, with the last pixel always alone.
    const std::pair<std::string, std::vector<int>> rows[] = {
        {"7", {1}},
        {std::string(300, '4'), {128, 128, 43, 1}},
        {"11122", {3, 1, 1}},
        {"1234", {1, 1, 1, 1}},
        {std::string(129, '3') + "6", {128, 1, 1}}};
    for (const auto& [ids, lengths] : rows) {
        Bytes pixels, expected = {0xEE}, out = {0xEE};  // packets are appended to what is there
        for (const char id : ids)
            pixels.insert(pixels.end(), {uint8_t(id), uint8_t(2 * id), uint8_t(200 - id)});
        for (size_t k = 0, at = 0; k < lengths.size(); at += lengths[k++]) {
            expected.push_back(static_cast<uint8_t>(127 + lengths[k]));
            expected.insert(expected.end(), pixels.begin() + 3 * at, pixels.begin() + 3 * at + 3);
        }
        encodeTargaRow(pixels, out);
        EXPECT_EQ(out, expected) << ids.size() << " pixels " << ids.substr(0, 9);
    }
}

using Entries = std::vector<LibraryFileEntry>;
const Entries kSample = {{"\\marble.qvl", "/home/u/qvl/marble.qvl"},
                         {"", ""},
                         {std::string(79, 'n'), "C:\\qvl\\" + std::string(72, 'p')}};

TEST(LibraryFile, ThreeEntriesTake482BytesAndAnyOtherLayoutIsRefused) {
    Bytes expected(482, 0);
    expected[0] = 3;
    for (size_t k = 0; k < kSample.size(); ++k) {
        std::memcpy(&expected[2 + 160 * k], kSample[k].name.data(), kSample[k].name.size());
        std::memcpy(&expected[82 + 160 * k], kSample[k].path.data(), kSample[k].path.size());
    }
    ScratchFolder folder;
    Entries read;
    ASSERT_TRUE(writeLibraryFile(folder / "a.qlb", kSample).ok());
    ASSERT_TRUE(writeLibraryFile(folder / "empty.qlb", {}).ok());
    EXPECT_TRUE(readLibraryFile(folder / "a.qlb", read).ok() && read == kSample);
    EXPECT_EQ(readBytes(folder / "a.qlb"), expected);
    EXPECT_EQ(readBytes(folder / "empty.qlb"), (Bytes{0, 0}));
    // Texts the fields cannot hold: 80 characters, or a zero byte inside.
    for (const Entries& refused :
         {Entries{{std::string(80, 'n'), "/a.qvl"}}, Entries{{"\\a.qvl", std::string(80, 'p')}},
          Entries{{"\\a.qvl", "/a"}, {std::string("\\a\0b", 4), "/b"}}}) {
        const FileStatus status = writeLibraryFile(folder / "long.qlb", refused);
        EXPECT_NE(status.message.find(folder / "long.qlb"), npos) << status.message;
    }
    EXPECT_EQ(folder.names(), (Names{"a.qlb", "empty.qlb"}));
    // An entry's name is a backslash and the last part of the texture's path.
    EXPECT_EQ(libraryNameOf("/home/u/qvl/marble.qvl") + libraryNameOf("C:\\qvl\\wood.qvl") +
                  libraryNameOf("plain.qvl"),
              "\\marble.qvl\\wood.qvl\\plain.qvl");
    // The reader refuses a file that is not exactly the layout, and changes nothing.
    Bytes unterminated = expected, unterminatedPath = expected, longer = expected;
    std::fill(unterminated.begin() + 2, unterminated.begin() + 82, 'x');
    std::fill(unterminatedPath.begin() + 402, unterminatedPath.end(), 'y');
    longer.push_back(0);
    const std::pair<Bytes, const char*> cases[] = {
        {{}, "shorter than 2 bytes"}, {{1}, "shorter than 2 bytes"},
        {{0xFF, 0xFF}, "negative"},   {Bytes(expected.begin(), expected.end() - 1), "be 482 bytes"},
        {longer, "but it is 483"},    {{2, 0}, "should be 322"},
        {unterminated, "entry 1 "},   {unterminatedPath, "entry 3 "},
    };
    for (const auto& [bytes, mentions] : cases) {
        writeBytes(folder / "bad.qlb", bytes);
        Entries entries = {{"\\keep.qvl", "/keep.qvl"}};
        const FileStatus status = readLibraryFile(folder / "bad.qlb", entries);
        EXPECT_TRUE(status.message.find("'" + folder / "bad.qlb" + "' is not") != npos &&
                    status.message.find(mentions) != npos && entries.size() == 1 &&
                    entries[0].path == "/keep.qvl")
            << status.message;
    }
}

TEST(LoadLibraryTexture, TriesThePathThenTheNameThenMarble) {
    ScratchFolder home, data;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path.c_str(), 1);
    // Each file of its own material; the texture folder comes before the search path.
    const std::string files[] = {data / "own.qvl", data / "sub/x.qvl", data / "both.qvl",
                                 home / "qvl/both.qvl", data / "b/short.qvl"};
    for (int k = 0; k < 5; ++k) {
        TextureParams record = materialDefaults(2 + k);
        record.colourMap.count = 17;  // taken as 24 whatever the file says
        std::filesystem::create_directories(std::filesystem::path(files[k]).parent_path());
        writeBytes(files[k], documentBytes(record));
    }
    writeBytes(data / "short.qvl", Bytes(1121, 0));
    // Entry, where the texture must come from, the file and material read, the problem told.
    using enum TextureSource;
    const std::tuple<LibraryFileEntry, TextureSource, std::string, int, const char*> cases[] = {
        {{"\\gone.qvl", data / "own.qvl"}, Path, data / "own.qvl", 2, ""},
        {{"\\sub\\x.qvl", data / "x.qvl"}, Name, data / "sub/x.qvl", 3, ""},
        {{"\\both.qvl", ""}, Name, home / "qvl/both.qvl", 5, ""},
        {{"\\b\\short.qvl", data / "short.qvl"}, Name, data / "b/short.qvl", 6, "1122"},
        {{"\\gone.qvl", data / "gone.qvl"}, MarbleDefaults, "", 1, ""},
        {{"\\short.qvl", ""}, MarbleDefaults, "", 1, "short.qvl"},
    };
    for (const auto& [entry, source, file, material, problem] : cases) {
        SCOPED_TRACE(entry.name + " " + entry.path);
        const LoadedTexture loaded = loadLibraryTexture(entry, {data.path});
        EXPECT_TRUE(loaded.source == source && loaded.file == file);
        EXPECT_EQ(documentBytes(loaded.record), documentBytes(materialDefaults(material)));
        EXPECT_TRUE(loaded.problems.empty() == !*problem && loaded.problems.find(problem) != npos)
            << loaded.problems;
    }
    oldHome.empty() ? ::unsetenv("HOME") : ::setenv("HOME", oldHome.c_str(), 1);
}

// The data every new user sees first: the default library and its textures, found by name.
TEST(ShippedData, TheDefaultLibraryResolvesAndShowsEveryMaterial) {
    const std::vector<std::string> folders = dataSearchPath();
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    ASSERT_GE(folders.size(), 3u);
    EXPECT_EQ(Names(folders.begin(), folders.begin() + 3),
              (Names{".", textureFolder(), program.parent_path() / "share/quorvel"}));
    const std::optional<std::string> path = findInFolders("default.qlb", folders);
    Entries entries;
    ASSERT_TRUE(findInFolders("help/contents.html", folders) && path &&
                readLibraryFile(*path, entries).ok());
    EXPECT_GE(entries.size(), 12u);
    std::set<int> materials, reliefs;
    for (const LibraryFileEntry& entry : entries) {
        const LoadedTexture loaded = loadLibraryTexture(entry, folders);
        const TextureParams& r = loaded.record;  // within the command block's ranges
        EXPECT_TRUE(loaded.source == TextureSource::Name && r.turbulence >= 0 &&
                    r.turbulence <= 1 && r.octaves >= 1 && r.scale.x >= 0.1f && r.scale.y >= 0.1f &&
                    r.reliefIntensity <= 10)
            << entry.name << ": " << loaded.problems;
        materials.insert(r.material);
        if (r.reliefIntensity > 0)
            reliefs.insert(r.relief);
    }
    EXPECT_EQ(materials.size(), static_cast<size_t>(kMaterialCount));
    EXPECT_GE(reliefs.size(), 3u);
}

// Bytes that differ from one copy of the internal buffer to the next.
Bytes pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(size + i * 7 + (i >> 9));
    return bytes;
}

// Runs `body` as on a full disk: no file may grow beyond `limit` bytes, and writes get EFBIG.
template <typename Body> auto onFullDisk(rlim_t limit, Body body) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit full{limit, old.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &full);
    const auto result = body();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    return result;
}

// Over an existing target and both sides of the buffer: only a successful commit() changes it.
TEST(AtomicFile, OnlyASuccessfulCommitChangesTheTarget) {
    ScratchFolder folder;
    const std::string target = folder / "t.bin";
    writeBytes(target, pattern(100));
    for (const std::string_view way : {"discard", "destroy", "fail", "commit", "commit again"}) {
        SCOPED_TRACE(way);
        const size_t size = way == "commit" ? 5 : 700000;
        const Bytes before = readBytes(target), bytes = pattern(size);
        std::optional<AtomicFile> file(std::in_place);
        ASSERT_TRUE(file->open(target).ok());
        ASSERT_TRUE(file->write(std::span(bytes).first(size / 2)));
        ASSERT_TRUE(file->write(std::span(bytes).subspan(size / 2)));
        EXPECT_EQ(readBytes(target), before);
        if (way == "discard") {
            file->discard();
        } else if (way == "fail") {
            file->fail("the encoder gave up.");
            EXPECT_FALSE(file->write(bytes));
        }
        const FileStatus status =
            way == "destroy" ? (file.reset(), FileStatus::failure("-")) : file->commit();
        EXPECT_EQ(status.ok(), way.starts_with("commit")) << status.message;
        EXPECT_EQ(way != "fail", status.message.find(target + "': the encoder gave up.") == npos);
        EXPECT_EQ(readBytes(target), way.starts_with("commit") ? bytes : before);
        EXPECT_EQ(folder.names(), Names{"t.bin"});
    }
    // Places where no file can be made, even by root.
    for (const std::string& bad : {folder / "missing/t.bin", target + "/t.bin", folder.path,
                                   std::string("/proc/self/t.bin")}) {
        AtomicFile file;
        EXPECT_NE(file.open(bad).message.find("'" + bad + "'"), npos);
        EXPECT_TRUE(!file.write(pattern(4)) && !file.commit().ok()) << bad;
    }
    // A target that became a folder after open() cannot be replaced.
    AtomicFile file;
    ASSERT_TRUE(file.open(folder / "dir").ok());
    std::filesystem::create_directory(folder / "dir");
    EXPECT_NE(file.commit().message.find("'" + folder / "dir" + "'"), npos);
    EXPECT_EQ(folder.names(), (Names{"dir", "t.bin"}));
    // A reader stops one byte over its limit.
    Bytes bytes;
    EXPECT_NE(readWholeFile(target, 699999, bytes).message.find(target), npos);
    EXPECT_EQ(bytes.size(), 700000u);
}

// The engine's own rows, one by one on this thread, after its write to the record (Brick).
Bytes engineImage(TextureParams record, int width, int height) {
    initNoise();
    applyRenderWrites(record);
    const size_t stride = static_cast<size_t>(width) * 3;
    Bytes rgb(stride * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        renderRow(record, Sampling::image(width, height), row,
                  std::span<uint8_t>(rgb).subspan(row * stride, stride));
    }
    return rgb;
}

// The file a layout gives for the pixels: PPM's header and the rows as they are; a Targa or
// bitmap header, then the rows bottom up in blue, green, red, as run packets or padded rows.
Bytes layoutFile(ExportFormat format, const Bytes& rgb, int width, int height) {
    const std::string ppm =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    const auto tga = targaHeader(width, height);
    const auto bmp = bitmapHeader(width, height);
    Bytes file = format == ExportFormat::Ppm     ? Bytes(ppm.begin(), ppm.end())
                 : format == ExportFormat::Targa ? Bytes(tga.begin(), tga.end())
                                                 : Bytes(bmp.begin(), bmp.end());
    const size_t stride = 3 * static_cast<size_t>(width);
    for (int k = 0; k < height; ++k) {
        const int row = format == ExportFormat::Ppm ? k : height - 1 - k;
        Bytes line(rgb.begin() + row * stride, rgb.begin() + (row + 1) * stride);
        for (size_t x = 0; format != ExportFormat::Ppm && x < stride; x += 3)
            std::swap(line[x], line[x + 2]);
        if (format == ExportFormat::Targa) {
            encodeTargaRow(line, file);
        } else {
            line.resize(format == ExportFormat::Bitmap ? bitmapRowBytes(width) : stride);
            file.insert(file.end(), line.begin(), line.end());
        }
    }
    return file;
}

// libpng's reading, independent of the encoder: 8-bit RGB pixels of the given size, or none.
Bytes decodePng(const std::string& path, int width, int height) {
    Bytes rgb;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) && image.format == PNG_FORMAT_RGB &&
        image.width == unsigned(width) && image.height == unsigned(height)) {
        rgb.resize(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    }
    png_image_free(&image);
    return rgb;
}

// libjpeg's reading, as above: the file's peak signal-to-noise ratio against `rgb` in dB, NaN
// unless it is a W x H colour JFIF of quality 75 (8 the first luminance quantizer).
double jpegPsnr(const Bytes& file, const Bytes& rgb, int width, int height) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    Bytes decoded;
    if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK && d.image_width == unsigned(width) &&
        d.image_height == unsigned(height) && d.num_components == 3 && d.saw_JFIF_marker &&
        d.quant_tbl_ptrs[0] && d.quant_tbl_ptrs[0]->quantval[0] == 8) {
        d.out_color_space = JCS_RGB;
        jpeg_start_decompress(&d);
        decoded.resize(rgb.size());
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = decoded.data() + 3 * size_t{d.output_scanline} * width;
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
    }
    jpeg_destroy_decompress(&d);
    const double sum =
        std::transform_reduce(decoded.begin(), decoded.end(), rgb.begin(), 0.0, std::plus<>(),
                              [](int a, int b) { return (a - b) * (a - b); });
    return 10 * std::log10(255.0 * 255.0 * decoded.size() / sum);
}

TEST(ExportImage, EveryFormatHoldsTheEnginePixelsAndImpossibleSizesAreRefused) {
    // A plain material, Brick (whose render writes to its record) and shading, each on its own
    // thread count; an odd width, so that bitmap rows pad. JPEG measures 25.5, 31.6 and 36.2 dB
    // on them, and 11 to 15 dB with rows upside down or red and blue swapped.
    using enum ExportFormat;
    constexpr int W = 37, H = 41;
    TextureParams granite = materialDefaults(8);
    granite.relief = 2, granite.reliefIntensity = 1.5f;
    const std::tuple<const char*, TextureParams, double, int> textures[] = {
        {"Marble", materialDefaults(1), 22.5, 1},
        {"Brick", materialDefaults(3), 28.5, 2},
        {"GraniteBumps", granite, 33.0, 3}};
    for (const auto& [name, record, minimumPsnr, threads] : textures) {
        const Bytes expected = engineImage(record, W, H);
        ScratchFolder folder;
        for (const ExportFormat format : {Targa, Bitmap, Jpeg, Png, Ppm}) {
            const std::string path = folder / ("a." + std::string(extensionOf(format)));
            SCOPED_TRACE(std::string(name) + " " + path);
            TextureParams copy = record;
            const ExportResult result =
                exportImage(path, format, copy, Sampling::image(W, H), {threads, nullptr, {}});
            ASSERT_TRUE(result.ok()) << result.status.message;
            if (format == Jpeg) {
                EXPECT_GE(jpegPsnr(readBytes(path), expected, W, H), minimumPsnr);
            } else if (format == Png) {
                EXPECT_EQ(decodePng(path, W, H), expected);
            } else {
                EXPECT_EQ(readBytes(path), layoutFile(format, expected, W, H));
            }
        }
        EXPECT_EQ(folder.names().size(), 5u);  // no temporary file left
    }
    // Sizes the record cannot hold are refused before any file is made.
    ScratchFolder folder;
    for (const auto& [w, h] : {std::pair{0, 10}, {10, 0}, {-1, 5}, {32768, 1}, {1, 32768}}) {
        TextureParams record = granite;
        const ExportResult r = exportImage(folder / "a.ppm", Ppm, record, Sampling::image(w, h));
        EXPECT_TRUE(!isValidImageSize(w, h) && !r.cancelled &&
                    r.status.message.find(folder / "a.ppm") != npos)
            << w << " x " << h;
    }
    EXPECT_TRUE(folder.names().empty() && isValidImageSize(1, 1) && isValidImageSize(32767, 32767));
}

TEST(ExportTexture, FailuresNameTheFileAndLeaveTheTargetAsItWas) {
    using enum ExportFormat;
    int i = 0;
    for (const ExportFormat format : {Targa, Bitmap, Jpeg, Png, Ppm, Tpr, TextureDocument}) {
        const std::string name = "out." + std::string(extensionOf(format));
        SCOPED_TRACE(name);
        ScratchFolder folder;
        const std::string target = folder / name, lost = folder / ("missing/" + name);
        TextureParams record = newTexture();  // 160 x 120
        EXPECT_NE(exportTexture(lost, format, record).status.message.find("'" + lost + "'"), npos);
        // A full disk: 512 bytes is below the smallest of these files (a .tpr is 1031).
        const Bytes old(700, 0xA5);
        writeBytes(target, old);
        const std::string message =
            onFullDisk(512, [&] { return exportTexture(target, format, record).status.message; });
        EXPECT_NE(message.find("'" + target + "': file too large"), npos) << message;
        EXPECT_EQ(readBytes(target), old);
        EXPECT_EQ(folder.names(), Names{name});
        // Images cancelled after 10 of 120 rows, over the old file or with none.
        const bool existing = !isImageFormat(format) || i++ % 2 == 0;
        if (!existing)
            std::filesystem::remove(target);
        if (isImageFormat(format)) {
            std::atomic<bool> cancel{false};
            int lastDone = 0;
            const auto onRow = [&](int done, int) { cancel = cancel || (lastDone = done) == 10; };
            const ExportResult result =
                exportTexture(target, format, record, {1 + i % 2, &cancel, onRow});
            EXPECT_TRUE(result.cancelled && result.status.message.find(target) != npos);
            EXPECT_LT(lastDone, 120);
        }
        EXPECT_EQ(readBytes(target), existing ? old : Bytes());  // and never a partial file
        EXPECT_EQ(folder.names(), existing ? Names{name} : Names{});
    }
}

TEST(ExportFormatForPath, ChoosesByExtensionIgnoringCase) {
    // A path, '=' and the extension of the format it gives, none for no format.
    for (const std::string row :
         {"out.png=png", "OUT.PNG=png", "x.tar.pPm=ppm", "odd.dir/p.png=png", "o.JPG=jpg",
          "a.Tga=tga", "b.bmp=bmp", "c.QVL=qvl", "d.tpr=tpr", "out.jpeg=", "notes.txt=",
          "noextension=", "some.dir/noextension=", "pic.png.txt=", "trailing.=", "="}) {
        const std::string path = row.substr(0, row.find('='));
        const std::optional<ExportFormat> format = exportFormatForPath(path);
        EXPECT_EQ(format ? extensionOf(*format) : "", row.substr(path.size() + 1)) << path;
    }
}

}  // namespace
}  // namespace quorvel
