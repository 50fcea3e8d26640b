#pragma once

#include "engine/textureparams.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvel {

// The stored forms of a record and its colour map: packed, little-endian, IEEE single
// precision. Encoding is explicit byte by byte, never a struct cast.
inline constexpr size_t kRecordBytes = 154;
inline constexpr size_t kColourMapEntryBytes = 40;
inline constexpr size_t kColourMapHeaderBytes = 8;
inline constexpr size_t kColourMapBytes =
    kColourMapHeaderBytes + kColourMapEntries * kColourMapEntryBytes;  // 968
inline constexpr size_t kRecordColourMapOffset = 42;  // the 4-byte reference, no information

// Writes the 154 record bytes; the colour-map reference bytes are written as zero.
void encodeRecord(const TextureParams& record, std::span<uint8_t, kRecordBytes> out) noexcept;
// Reads every field from the 154 bytes; the colour map is left as it is.
void decodeRecord(std::span<const uint8_t, kRecordBytes> in, TextureParams& record) noexcept;

// The map as files carry it: count (16-bit), six bytes without information (written as
// zero), then the 24 entries of 40 bytes.
void encodeColourMap(const ColourMap& map, std::span<uint8_t, kColourMapBytes> out) noexcept;
// Reads the count as stored and all 24 entries, whatever the count says.
void decodeColourMap(std::span<const uint8_t, kColourMapBytes> in, ColourMap& map) noexcept;

// Little-endian field access shared by every stored layout.
class ByteWriter {
public:
    explicit ByteWriter(std::span<uint8_t> out) noexcept : mOut(out) {}
    void i8(int8_t v) noexcept { u8(static_cast<uint8_t>(v)); }
    void u8(uint8_t v) noexcept;
    void i16(int16_t v) noexcept { u16(static_cast<uint16_t>(v)); }
    void u16(uint16_t v) noexcept;
    void i32(int32_t v) noexcept { u32(static_cast<uint32_t>(v)); }
    void u32(uint32_t v) noexcept;
    void f32(float v) noexcept;
    void vec3(const Vec3& v) noexcept;
    void colour(const Colour& c) noexcept;
    void zeros(size_t count) noexcept;
    size_t position() const noexcept { return mPos; }

private:
    std::span<uint8_t> mOut;
    size_t mPos = 0;
};

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> in) noexcept : mIn(in) {}
    int8_t i8() noexcept { return static_cast<int8_t>(u8()); }
    uint8_t u8() noexcept;
    int16_t i16() noexcept { return static_cast<int16_t>(u16()); }
    uint16_t u16() noexcept;
    int32_t i32() noexcept { return static_cast<int32_t>(u32()); }
    uint32_t u32() noexcept;
    float f32() noexcept;
    Vec3 vec3() noexcept;
    Colour colour() noexcept;
    void skip(size_t count) noexcept { mPos += count; }
    size_t position() const noexcept { return mPos; }

private:
    std::span<const uint8_t> mIn;
    size_t mPos = 0;
};

}  // namespace quorvel
