#include "files/filenames.h"

namespace quorvel {

namespace {

// The length of the well-formed UTF-8 character that starts `text`, with its code point in
// `code`; 0 when the bytes there are not one (overlong, a surrogate, beyond U+10FFFF, cut off).
size_t utf8Character(std::string_view text, char32_t& code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 1;
    char32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, least = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, least = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, least = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

// Characters a terminal acts on, or that reorder what is shown around them.
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Calls `keep(bytes)` for each harmless character and `replace(bytes)` for each control
// character or stray byte of `text`, in order.
template <typename Keep, typename Replace>
void forEachCharacter(std::string_view text, Keep keep, Replace replace) {
    while (!text.empty()) {
        char32_t code = 0;
        const size_t length = utf8Character(text, code);
        const std::string_view character = text.substr(0, length == 0 ? 1 : length);
        if (length == 0 || isControl(code)) {
            replace(character);
        } else {
            keep(character);
        }
        text.remove_prefix(character.size());
    }
}

}  // namespace

std::string escapedText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto keep = [&](std::string_view c) { out += c; };
    const auto escape = [&](std::string_view c) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (const char b : c) {
            const auto u = static_cast<unsigned char>(b);
            out += {'\\', 'x', kHex[u >> 4], kHex[u & 15]};
        }
    };
    forEachCharacter(text, keep, escape);
    return out;
}

std::string portableFileName(std::string_view name) {
    std::string out;
    const auto keep = [&](std::string_view c) {
        out += c.size() == 1 && std::string_view("<>:\"/\\|?*").find(c[0]) != c.npos ? "_" : c;
    };
    forEachCharacter(name, keep, [&](std::string_view) { out += '_'; });
    if (!out.empty() && (out[0] == '.' || out[0] == '-')) {
        out[0] = '_';
    }
    return out;
}

bool leavesItsFolder(std::string_view relative) {
    while (!relative.empty()) {
        const size_t slash = relative.find('/');
        if (relative.substr(0, slash) == "..") {
            return true;
        }
        relative.remove_prefix(slash == relative.npos ? relative.size() : slash + 1);
    }
    return false;
}

}  // namespace quorvel
