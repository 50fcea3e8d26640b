#pragma once

#include "engine/textureparams.h"
#include "files/libraryfile.h"

#include <string>
#include <vector>

namespace quorvel {

// One texture of the default library: the file it is stored in (a short lower-case name such
// as "sunset-sky.qvl") and its record, rendered at 320 x 240.
struct Sample {
    std::string file;
    TextureParams record;
};

// The default library's textures in the order the library strip shows them.
std::vector<Sample> makeSamples();

// Why a sample could not be stored or shown in the command block: a file name that does not fit
// a library field, or a value outside what the command block accepts (turbulence 0 to 1, detail
// 1 to 256, scales 0.1 to 100, relief intensity 0 to 10). Empty when the sample is fine.
std::string sampleProblem(const Sample& sample);

// The library entries of the samples: name and path are both a backslash and the file name,
// since the installed data folder is not known when the library is made; the program finds the
// files by name along its data search path.
std::vector<LibraryFileEntry> sampleLibrary(const std::vector<Sample>& samples);

}  // namespace quorvel
