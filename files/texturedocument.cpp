#include "files/texturedocument.h"

#include "files/atomicfile.h"

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
    return decodeTextureDocument(bytes, record, path);
}

}  // namespace quorvel
