#include "files/libraryfile.h"

#include "engine/defaults.h"
#include "engine/recordlayout.h"
#include "files/atomicfile.h"
#include "files/filenames.h"
#include "files/searchpath.h"
#include "files/texturedocument.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

namespace {

constexpr size_t kMaxLibraryBytes = 2 + kLibraryEntryBytes * kMaxLibraryEntries;

// Why a name or path cannot be stored in its 80-byte field; empty when it can.
std::string fieldProblem(const std::string& text) {
    if (text.find('\0') != std::string::npos) {
        return "holds a zero byte";
    }
    if (text.size() >= kLibraryFieldBytes) {
        return "is longer than 79 characters";
    }
    return {};
}

// A field's text up to its zero byte; false when the field has none.
bool readField(std::span<const uint8_t> field, std::string& text) {
    const auto zero = std::find(field.begin(), field.end(), uint8_t{0});
    if (zero == field.end()) {
        return false;
    }
    text.assign(field.begin(), zero);
    return true;
}

void writeField(const std::string& text, uint8_t* field) {
    std::memset(field, 0, kLibraryFieldBytes);
    std::memcpy(field, text.data(), text.size());
}

// A candidate file for an entry's texture: its record when it is a valid texture document.
bool tryRead(const std::string& file, LoadedTexture& loaded) {
    TextureParams record = newTexture();
    const FileStatus status = readTextureDocument(file, record);
    if (!status.ok()) {
        loaded.problems += status.message + "\n";
        return false;
    }
    record.colourMap.count = kColourMapEntries;
    loaded.record = record;
    loaded.file = file;
    return true;
}

}  // namespace

FileStatus encodeLibraryFile(const std::vector<LibraryFileEntry>& entries,
                             std::vector<uint8_t>& bytes, const std::string& target) {
    if (entries.size() > static_cast<size_t>(kMaxLibraryEntries)) {
        return FileStatus::failure("Cannot write " + quotedPath(target) +
                                   ": a library holds at most 32767 textures.");
    }
    for (const LibraryFileEntry& e : entries) {
        for (const auto& [what, text] : {std::pair{"name", &e.name}, std::pair{"path", &e.path}}) {
            if (const std::string problem = fieldProblem(*text); !problem.empty()) {
                return FileStatus::failure("Cannot write " + quotedPath(target) + ": the " + what +
                                           " " + quotedPath(*text) + " " + problem + ".");
            }
        }
    }
    bytes.assign(2 + kLibraryEntryBytes * entries.size(), 0);
    ByteWriter(bytes).i16(static_cast<int16_t>(entries.size()));
    uint8_t* field = bytes.data() + 2;
    for (const LibraryFileEntry& e : entries) {
        writeField(e.name, field);
        writeField(e.path, field + kLibraryFieldBytes);
        field += kLibraryEntryBytes;
    }
    return FileStatus::success();
}

FileStatus decodeLibraryFile(std::span<const uint8_t> bytes, std::vector<LibraryFileEntry>& entries,
                             const std::string& source) {
    const std::string notLibrary = quotedPath(source) + " is not a texture library: ";
    if (bytes.size() < 2) {
        return FileStatus::failure(notLibrary + "it is shorter than 2 bytes.");
    }
    const int count = ByteReader(bytes).i16();
    if (count < 0) {
        return FileStatus::failure(notLibrary + "its entry count is negative (" +
                                   std::to_string(count) + ").");
    }
    const size_t expected = 2 + kLibraryEntryBytes * static_cast<size_t>(count);
    if (bytes.size() != expected) {
        return FileStatus::failure(notLibrary + "it lists " + std::to_string(count) +
                                   " textures, so it should be " + std::to_string(expected) +
                                   " bytes long, but it is " + std::to_string(bytes.size()) + ".");
    }
    std::vector<LibraryFileEntry> decoded(static_cast<size_t>(count));
    for (size_t k = 0; k < decoded.size(); ++k) {
        const auto entry = bytes.subspan(2 + kLibraryEntryBytes * k, kLibraryEntryBytes);
        if (!readField(entry.first(kLibraryFieldBytes), decoded[k].name) ||
            !readField(entry.last(kLibraryFieldBytes), decoded[k].path)) {
            return FileStatus::failure(notLibrary + "the name or path of entry " +
                                       std::to_string(k + 1) +
                                       " does not end within its 80 bytes.");
        }
    }
    entries = std::move(decoded);
    return FileStatus::success();
}

FileStatus readLibraryFile(const std::string& path, std::vector<LibraryFileEntry>& entries) {
    std::vector<uint8_t> bytes;
    const FileStatus read = readWholeFile(path, kMaxLibraryBytes, bytes);
    if (!read.ok() && bytes.size() > kMaxLibraryBytes) {
        return FileStatus::failure(quotedPath(path) +
                                   " is not a texture library: it is larger than any library.");
    }
    if (!read.ok()) {
        return read;
    }
    return decodeLibraryFile(bytes, entries, path);
}

FileStatus writeLibraryFile(const std::string& path, const std::vector<LibraryFileEntry>& entries) {
    std::vector<uint8_t> bytes;
    if (FileStatus encoded = encodeLibraryFile(entries, bytes, path); !encoded.ok()) {
        return encoded;
    }
    return writeWholeFile(path, bytes);
}

std::string libraryNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return "\\" + (separator == std::string::npos ? path : path.substr(separator + 1));
}

LoadedTexture loadLibraryTexture(const LibraryFileEntry& entry,
                                 const std::vector<std::string>& searchPath) {
    LoadedTexture loaded;
    if (!entry.path.empty() && isRegularFile(entry.path) && tryRead(entry.path, loaded)) {
        loaded.source = TextureSource::Path;
        return loaded;
    }
    const std::string relative = nameAsRelativePath(entry.name);
    if (leavesItsFolder(relative)) {
        loaded.problems += "The name " + quotedPath(entry.name) +
                           " is not looked up: it leads out of its folder with '..'.\n";
    }
    std::vector<std::string> folders;
    if (std::string qvl = textureFolder(); !qvl.empty()) {
        folders.push_back(std::move(qvl));
    }
    for (const std::string& folder : searchPath) {
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    for (const std::string& folder : folders) {
        const auto found = findInFolders(relative, {folder});
        if (found && tryRead(*found, loaded)) {
            loaded.source = TextureSource::Name;
            return loaded;
        }
    }
    loaded.record = copyTexture(materialDefaults(static_cast<int>(MaterialType::Marble)));
    loaded.source = TextureSource::MarbleDefaults;
    loaded.file.clear();
    return loaded;
}

}  // namespace quorvel
