#pragma once

#include "engine/recordlayout.h"
#include "engine/textureparams.h"
#include "files/filestatus.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace quorvel {

// A texture document (.qvl): the 154-byte record, the 8-byte colour-map header (count, then six
// bytes without information) and the 24 map entries of 40 bytes. No magic number, version or
// checksum: the size is the only structure.
inline constexpr size_t kTextureDocumentBytes = kRecordBytes + kColourMapBytes;  // 1122

// The highest detail a document may hold; the command block accepts the same.
inline constexpr int kMaxOctaves = 256;

using TextureDocumentBytes = std::array<uint8_t, kTextureDocumentBytes>;

// The document's bytes; the bytes without information are written as zero.
TextureDocumentBytes encodeTextureDocument(const TextureParams& record) noexcept;

// Decodes a texture document. Returns an error naming `source` when the buffer is not exactly
// 1122 bytes; `record` is then untouched. Every record field is taken over, with the map's
// count as stored and all 24 entries.
FileStatus decodeTextureDocument(std::span<const uint8_t> bytes, TextureParams& record,
                                 const std::string& source);

// Checks the values a texture document may hold: material 0 to 13, relief 0 to 7, image sizes
// 1 to 32767, detail (octaves) 0 to 256 and every float finite. Returns an error naming
// `source` and the first problem found.
FileStatus checkTextureRecord(const TextureParams& record, const std::string& source);

// Reads a texture document file. Returns an error naming the file when it cannot be read, is
// not exactly 1122 bytes or holds values outside their ranges (checkTextureRecord); `record`
// is then untouched.
FileStatus readTextureDocument(const std::string& path, TextureParams& record);

// Writes a texture document through a temporary file; the target is replaced only when the
// whole document is written, and stays as it was on any failure.
FileStatus writeTextureFile(const std::string& path, const TextureParams& record);

}  // namespace quorvel
