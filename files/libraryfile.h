#pragma once

#include "engine/textureparams.h"
#include "files/filestatus.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// A library file (.qlb) lists texture documents: a signed 16-bit count n, then for each entry
// an 80-byte name field and an 80-byte path field, each its characters, a zero byte and zero
// padding. The file is exactly 2 + 160 x n bytes.
inline constexpr size_t kLibraryFieldBytes = 80;
inline constexpr size_t kLibraryEntryBytes = 2 * kLibraryFieldBytes;
inline constexpr int kMaxLibraryEntries = 32767;

struct LibraryFileEntry {
    std::string name;  // a backslash and the file's name: "\marble.qvl"
    std::string path;  // the file's full path as stored

    bool operator==(const LibraryFileEntry&) const = default;
};

// The file's bytes. Fails, naming `target`, when there are more than 32767 entries or a name or
// path has 80 characters or more (the fields cannot hold them) or holds a zero byte.
FileStatus encodeLibraryFile(const std::vector<LibraryFileEntry>& entries,
                             std::vector<uint8_t>& bytes, const std::string& target);

// Decodes a library. Fails, naming `source`, when the count is negative, the size is not
// exactly 2 + 160 x count, or a name or path does not end within its field; `entries` is then
// untouched.
FileStatus decodeLibraryFile(std::span<const uint8_t> bytes, std::vector<LibraryFileEntry>& entries,
                             const std::string& source);

FileStatus readLibraryFile(const std::string& path, std::vector<LibraryFileEntry>& entries);

// Writes through a temporary file; the target is replaced only when complete.
FileStatus writeLibraryFile(const std::string& path, const std::vector<LibraryFileEntry>& entries);

// The library name of a texture file: a backslash and the part of the path after its last
// separator ('/' or '\').
std::string libraryNameOf(const std::string& path);

// Where a library entry's texture came from.
enum class TextureSource {
    Path,            // the stored path
    Name,            // the name, found in the texture folder or along the search path
    MarbleDefaults,  // neither could be read: a copy of the Marble defaults
};

struct LoadedTexture {
    TextureParams record;
    TextureSource source = TextureSource::MarbleDefaults;
    std::string file;      // the file read, empty for the Marble defaults
    std::string problems;  // why earlier candidates were passed over, one per line
};

// Reads an entry's texture: from its path; failing that, by its name in the texture folder and
// then along `searchPath`; failing that, a copy of the Marble defaults. A candidate that exists
// but is not a valid texture document is passed over, and the reason kept in `problems`, as is
// a name with a ".." part, which is not looked up. The stored path is read as it stands.
LoadedTexture loadLibraryTexture(const LibraryFileEntry& entry,
                                 const std::vector<std::string>& searchPath);

}  // namespace quorvel
