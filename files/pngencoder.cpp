#include "files/pngencoder.h"

#include "files/atomicfile.h"

#include <csetjmp>
#include <png.h>
#include <utility>

namespace quorvel {

namespace {

// Textures are noisy: the fastest deflate level loses little size and keeps export close to
// the render's own speed.
constexpr int kCompressionLevel = 1;

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    static_cast<PngEncoder*>(png_get_error_ptr(png))->recordError(message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, size_t size) {
    if (!static_cast<PngEncoder*>(png_get_io_ptr(png))->writeBytes(data, size)) {
        png_error(png, "write failed");
    }
}

void onFlush(png_structp) {}

}  // namespace

PngEncoder::PngEncoder(AtomicFile& file, int width, int height, PngPixels pixels,
                       std::string comment)
    : ImageEncoder(file, width, height), mPixels(pixels), mComment(std::move(comment)) {
    mPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, onError, onWarning);
    if (mPng) {
        mInfo = png_create_info_struct(mPng);
    }
    if (!mPng || !mInfo) {
        mFile.fail("out of memory for the PNG encoder.");
    }
}

PngEncoder::~PngEncoder() {
    if (mPng) {
        png_destroy_write_struct(&mPng, mInfo ? &mInfo : nullptr);
    }
}

void PngEncoder::recordError(const char* message) {
    if (!mFile.failed()) {
        mFile.fail(std::string("the PNG encoder failed: ") + message + ".");
    }
}

bool PngEncoder::writeBytes(const uint8_t* data, size_t size) { return mFile.write(data, size); }

bool PngEncoder::failed() { return mFile.failed() || !mPng || !mInfo; }

// Each function below that calls libpng sets its own return point and holds no objects with
// destructors, so libpng's long jump on error skips nothing that needs cleaning up.

bool PngEncoder::begin() {
    if (failed()) {
        return false;
    }
    if (setjmp(png_jmpbuf(mPng))) {
        return false;
    }
    png_set_write_fn(mPng, this, onWrite, onFlush);
    png_set_compression_level(mPng, kCompressionLevel);
    const bool grey = mPixels == PngPixels::Grey16;
    png_set_IHDR(mPng, mInfo, static_cast<png_uint_32>(mWidth), static_cast<png_uint_32>(mHeight),
                 grey ? 16 : 8, grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!mComment.empty()) {
        // libpng copies the text, so it may point into the string.
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<char*>("Comment");
        text.text = mComment.data();
        text.text_length = mComment.size();
        png_set_text(mPng, mInfo, &text, 1);
    }
    png_write_info(mPng, mInfo);
    return !failed();
}

bool PngEncoder::acceptRow(int, std::span<const uint8_t> rgb) {
    if (failed()) {
        return false;
    }
    if (setjmp(png_jmpbuf(mPng))) {
        return false;
    }
    png_write_row(mPng, rgb.data());
    return !failed();
}

bool PngEncoder::finish() {
    if (failed()) {
        return false;
    }
    if (setjmp(png_jmpbuf(mPng))) {
        return false;
    }
    png_write_end(mPng, mInfo);
    return !failed();
}

}  // namespace quorvel
