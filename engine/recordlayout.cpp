#include "engine/recordlayout.h"

#include <bit>

namespace quorvel {

// Reads and writes past the end of the span are ignored (reads give zero), so a layout bug
// can never touch memory outside the buffer; the layouts themselves are sized exactly.

void ByteWriter::u8(uint8_t v) noexcept {
    if (mPos < mOut.size()) {
        mOut[mPos] = v;
    }
    ++mPos;
}

void ByteWriter::u16(uint16_t v) noexcept {
    u8(static_cast<uint8_t>(v & 0xFFu));
    u8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::u32(uint32_t v) noexcept {
    u16(static_cast<uint16_t>(v & 0xFFFFu));
    u16(static_cast<uint16_t>(v >> 16));
}

void ByteWriter::f32(float v) noexcept { u32(std::bit_cast<uint32_t>(v)); }

void ByteWriter::vec3(const Vec3& v) noexcept {
    f32(v.x);
    f32(v.y);
    f32(v.z);
}

void ByteWriter::colour(const Colour& c) noexcept {
    f32(c.r);
    f32(c.g);
    f32(c.b);
    f32(c.a);
}

void ByteWriter::zeros(size_t count) noexcept {
    for (size_t i = 0; i < count; ++i) {
        u8(0);
    }
}

uint8_t ByteReader::u8() noexcept {
    const uint8_t v = mPos < mIn.size() ? mIn[mPos] : 0;
    ++mPos;
    return v;
}

uint16_t ByteReader::u16() noexcept {
    const uint16_t lo = u8();
    const uint16_t hi = u8();
    return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t ByteReader::u32() noexcept {
    const uint32_t lo = u16();
    const uint32_t hi = u16();
    return lo | (hi << 16);
}

float ByteReader::f32() noexcept { return std::bit_cast<float>(u32()); }

Vec3 ByteReader::vec3() noexcept {
    Vec3 v;
    v.x = f32();
    v.y = f32();
    v.z = f32();
    return v;
}

Colour ByteReader::colour() noexcept {
    Colour c;
    c.r = f32();
    c.g = f32();
    c.b = f32();
    c.a = f32();
    return c;
}

void encodeRecord(const TextureParams& p, std::span<uint8_t, kRecordBytes> out) noexcept {
    ByteWriter w(out);
    w.i8(p.material);
    w.i8(p.relief);
    w.f32(p.spareA);
    w.f32(p.reliefFrequency);
    w.f32(p.reliefPhase);
    w.f32(p.reliefIntensity);
    w.f32(p.spareB);
    w.f32(p.spareC);
    w.f32(p.turbulence);
    w.vec3(p.gradientVector);
    w.zeros(4);
    w.i16(p.octaves);
    w.f32(p.mortarWidth);
    w.vec3(p.scale);
    w.vec3(p.reliefScale);
    w.vec3(p.lightDirection);
    w.vec3(p.brilliance);
    w.f32(p.spareD);
    w.colour(p.reflectionColour);
    w.colour(p.lightColour);
    w.i16(p.imageWidth);
    w.i16(p.imageHeight);
    w.i16(p.imageFormat);
    w.vec3(p.offset);
}

void decodeRecord(std::span<const uint8_t, kRecordBytes> in, TextureParams& p) noexcept {
    ByteReader r(in);
    p.material = r.i8();
    p.relief = r.i8();
    p.spareA = r.f32();
    p.reliefFrequency = r.f32();
    p.reliefPhase = r.f32();
    p.reliefIntensity = r.f32();
    p.spareB = r.f32();
    p.spareC = r.f32();
    p.turbulence = r.f32();
    p.gradientVector = r.vec3();
    r.skip(4);
    p.octaves = r.i16();
    p.mortarWidth = r.f32();
    p.scale = r.vec3();
    p.reliefScale = r.vec3();
    p.lightDirection = r.vec3();
    p.brilliance = r.vec3();
    p.spareD = r.f32();
    p.reflectionColour = r.colour();
    p.lightColour = r.colour();
    p.imageWidth = r.i16();
    p.imageHeight = r.i16();
    p.imageFormat = r.i16();
    p.offset = r.vec3();
}

void encodeColourMap(const ColourMap& map, std::span<uint8_t, kColourMapBytes> out) noexcept {
    ByteWriter w(out);
    w.i16(map.count);
    w.zeros(6);
    for (const ColourMapEntry& e : map.entries) {
        w.f32(e.start);
        w.f32(e.end);
        w.colour(e.startColour);
        w.colour(e.endColour);
    }
}

void decodeColourMap(std::span<const uint8_t, kColourMapBytes> in, ColourMap& map) noexcept {
    ByteReader r(in);
    map.count = r.i16();
    r.skip(6);
    for (ColourMapEntry& e : map.entries) {
        e.start = r.f32();
        e.end = r.f32();
        e.startColour = r.colour();
        e.endColour = r.colour();
    }
}

}  // namespace quorvel
