#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Text from files and command lines can hold any bytes. These keep such text from acting on a
// terminal or a file system.

// `text` with every control character (C0, DEL, C1 and the bidirectional overrides), and every
// byte that is not part of well-formed UTF-8, written as \xHH for each of its bytes. Anything
// else is kept, so ordinary names read as they are.
std::string escapedText(std::string_view text);

// `name` as a file name that any desktop file system and shell takes as it is: control
// characters, malformed UTF-8 and the characters < > : " / \ | ? * become '_', as does a
// leading '.' or '-', so that the file is neither hidden nor read as an option.
std::string portableFileName(std::string_view name);

// Whether a relative path has a ".." part, which would lead a lookup out of its folder.
bool leavesItsFolder(std::string_view relative);

}  // namespace quorvel
