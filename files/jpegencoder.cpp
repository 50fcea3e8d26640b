#include "files/jpegencoder.h"

#include "files/atomicfile.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace quorvel {

namespace {

constexpr size_t kOutputBufferBytes = 1 << 16;

}  // namespace

// The compressor with its error manager and destination. libjpeg reaches the error manager and
// the destination through the compressor, so they live side by side in one object.
struct JpegEncoder::State {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf jump{};
    AtomicFile* file = nullptr;
    int width = 0;
    int height = 0;
    bool created = false;
    bool started = false;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(kOutputBufferBytes);
    std::vector<JSAMPLE> row;
};

namespace {

JpegEncoder::State& stateOf(j_common_ptr cinfo) {
    return *static_cast<JpegEncoder::State*>(cinfo->client_data);
}

// Replaces libjpeg's default error exit, which would end the process.
[[noreturn]] void onError(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX] = {};
    (*cinfo->err->format_message)(cinfo, message);
    JpegEncoder::State& state = stateOf(cinfo);
    state.file->fail(std::string("the JPEG encoder failed: ") + message + ".");
    std::longjmp(state.jump, 1);
}

void onMessage(j_common_ptr) {}

void initDestination(j_compress_ptr cinfo) {
    JpegEncoder::State& state = stateOf(reinterpret_cast<j_common_ptr>(cinfo));
    state.destination.next_output_byte = state.buffer.data();
    state.destination.free_in_buffer = state.buffer.size();
}

boolean emptyBuffer(j_compress_ptr cinfo) {
    JpegEncoder::State& state = stateOf(reinterpret_cast<j_common_ptr>(cinfo));
    if (!state.file->write(state.buffer.data(), state.buffer.size())) {
        std::longjmp(state.jump, 1);
    }
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    JpegEncoder::State& state = stateOf(reinterpret_cast<j_common_ptr>(cinfo));
    const size_t used = state.buffer.size() - state.destination.free_in_buffer;
    if (!state.file->write(state.buffer.data(), used)) {
        std::longjmp(state.jump, 1);
    }
}

}  // namespace

JpegEncoder::JpegEncoder(AtomicFile& file, int width, int height)
    : ImageEncoder(file, width, height), mState(std::make_unique<State>()) {
    mState->file = &file;
    mState->width = width;
    mState->height = height;
    mState->row.resize(static_cast<size_t>(width) * 3);
}

JpegEncoder::~JpegEncoder() {
    if (mState->created) {
        jpeg_destroy_compress(&mState->cinfo);
    }
}

// Each function below that calls libjpeg sets its own return point and holds no objects with
// destructors, so a long jump from the error manager skips nothing that needs cleaning up.

bool JpegEncoder::begin() {
    State& s = *mState;
    if (s.file->failed()) {
        return false;
    }
    if (setjmp(s.jump)) {
        return false;
    }
    s.cinfo.err = jpeg_std_error(&s.errors);
    s.errors.error_exit = onError;
    s.errors.output_message = onMessage;
    s.cinfo.client_data = &s;
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    s.destination.init_destination = initDestination;
    s.destination.empty_output_buffer = emptyBuffer;
    s.destination.term_destination = termDestination;
    s.cinfo.dest = &s.destination;
    s.cinfo.image_width = static_cast<JDIMENSION>(s.width);
    s.cinfo.image_height = static_cast<JDIMENSION>(s.height);
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, kQuality, FALSE);
    jpeg_start_compress(&s.cinfo, TRUE);
    s.started = true;
    return !s.file->failed();
}

bool JpegEncoder::acceptRow(int, std::span<const uint8_t> rgb) {
    State& s = *mState;
    if (s.file->failed() || !s.started) {
        return false;
    }
    std::copy(rgb.begin(),
              rgb.begin() + static_cast<std::ptrdiff_t>(std::min(rgb.size(), s.row.size())),
              s.row.begin());
    if (setjmp(s.jump)) {
        return false;
    }
    JSAMPROW rows[1] = {s.row.data()};
    jpeg_write_scanlines(&s.cinfo, rows, 1);
    return !s.file->failed();
}

bool JpegEncoder::finish() {
    State& s = *mState;
    if (s.file->failed() || !s.started) {
        return false;
    }
    if (setjmp(s.jump)) {
        return false;
    }
    jpeg_finish_compress(&s.cinfo);
    return !s.file->failed();
}

}  // namespace quorvel
