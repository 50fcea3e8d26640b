#include "files/texturedocument.h"

#include "files/atomicfile.h"

#include <cmath>
#include <vector>

namespace quorvel {

TextureDocumentBytes encodeTextureDocument(const TextureParams& record) noexcept {
    TextureDocumentBytes bytes{};
    const std::span<uint8_t, kTextureDocumentBytes> all(bytes);
    encodeRecord(record, all.first<kRecordBytes>());
    encodeColourMap(record.colourMap, all.last<kColourMapBytes>());
    return bytes;
}

FileStatus decodeTextureDocument(std::span<const uint8_t> bytes, TextureParams& record,
                                 const std::string& source) {
    if (bytes.size() != kTextureDocumentBytes) {
        return FileStatus::failure(quotedPath(source) + " is not a texture document: it is " +
                                   std::to_string(bytes.size()) +
                                   " bytes long, and a texture document is exactly " +
                                   std::to_string(kTextureDocumentBytes) + " bytes.");
    }
    const std::span<const uint8_t, kTextureDocumentBytes> all(bytes.data(), bytes.size());
    TextureParams decoded = record;
    decodeRecord(all.first<kRecordBytes>(), decoded);
    decodeColourMap(all.last<kColourMapBytes>(), decoded.colourMap);
    record = decoded;
    return FileStatus::success();
}

namespace {

struct FloatField {
    const char* name;
    float value;
};

// The first non-finite float of the record or its map, by field name.
const char* firstNonFinite(const TextureParams& r) {
    const auto vec = [](const Vec3& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    const auto colour = [](const Colour& c) {
        return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
    };
    const FloatField scalars[] = {
        {"spareA", r.spareA},           {"reliefFrequency", r.reliefFrequency},
        {"reliefPhase", r.reliefPhase}, {"reliefIntensity", r.reliefIntensity},
        {"spareB", r.spareB},           {"spareC", r.spareC},
        {"turbulence", r.turbulence},   {"mortarWidth", r.mortarWidth},
        {"spareD", r.spareD},
    };
    for (const FloatField& f : scalars) {
        if (!std::isfinite(f.value)) {
            return f.name;
        }
    }
    if (!vec(r.gradientVector))
        return "gradientVector";
    if (!vec(r.scale))
        return "scale";
    if (!vec(r.reliefScale))
        return "reliefScale";
    if (!vec(r.lightDirection))
        return "lightDirection";
    if (!vec(r.brilliance))
        return "brilliance";
    if (!vec(r.offset))
        return "offset";
    if (!colour(r.reflectionColour))
        return "reflectionColour";
    if (!colour(r.lightColour))
        return "lightColour";
    for (const ColourMapEntry& e : r.colourMap.entries) {
        if (!std::isfinite(e.start) || !std::isfinite(e.end) || !colour(e.startColour) ||
            !colour(e.endColour)) {
            return "colour map";
        }
    }
    return nullptr;
}

std::string outOfRange(const char* what, int value, int low, int high) {
    return std::string("its ") + what + " is " + std::to_string(value) + ", outside " +
           std::to_string(low) + " to " + std::to_string(high) + ".";
}

}  // namespace

FileStatus checkTextureRecord(const TextureParams& r, const std::string& source) {
    std::string problem;
    if (r.material < 0 || r.material >= kMaterialCount) {
        problem = outOfRange("material", r.material, 0, kMaterialCount - 1);
    } else if (r.relief < 0 || r.relief > 7) {
        problem = outOfRange("relief", r.relief, 0, 7);
    } else if (r.imageWidth < 1) {
        problem = outOfRange("image width", r.imageWidth, 1, 32767);
    } else if (r.imageHeight < 1) {
        problem = outOfRange("image height", r.imageHeight, 1, 32767);
    } else if (r.octaves < 0 || r.octaves > kMaxOctaves) {
        problem = outOfRange("detail", r.octaves, 0, kMaxOctaves);
    } else if (const char* field = firstNonFinite(r)) {
        problem = std::string("its ") + field + " holds a value that is not a finite number.";
    }
    if (problem.empty()) {
        return FileStatus::success();
    }
    return FileStatus::failure(quotedPath(source) + " is not a valid texture document: " + problem);
}

FileStatus writeTextureFile(const std::string& path, const TextureParams& record) {
    const auto bytes = encodeTextureDocument(record);
    return writeWholeFile(path, bytes);
}

FileStatus readTextureDocument(const std::string& path, TextureParams& record) {
    std::vector<uint8_t> bytes;
    const FileStatus read = readWholeFile(path, kTextureDocumentBytes, bytes);
    if (!read.ok() && bytes.size() > kTextureDocumentBytes) {
        return FileStatus::failure(quotedPath(path) +
                                   " is not a texture document: it is longer than " +
                                   std::to_string(kTextureDocumentBytes) +
                                   " bytes, and a texture document is exactly that long.");
    }
    if (!read.ok()) {
        return read;
    }
    TextureParams decoded = record;
    if (FileStatus status = decodeTextureDocument(bytes, decoded, path); !status.ok()) {
        return status;
    }
    if (FileStatus status = checkTextureRecord(decoded, path); !status.ok()) {
        return status;
    }
    record = decoded;
    return FileStatus::success();
}

}  // namespace quorvel
