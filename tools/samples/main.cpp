#include "files/libraryfile.h"
#include "files/texturedocument.h"
#include "tools/samples/samples.h"

#include <cstdio>
#include <string>

// quorvel-samples OUTDIR: writes the sample textures and the default library listing them into
// OUTDIR. Run by hand when the samples change; the outputs are kept in the source tree's res/.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel-samples OUTDIR\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::vector<quorvel::Sample> samples = quorvel::makeSamples();
    for (const quorvel::Sample& sample : samples) {
        const std::string problem = quorvel::sampleProblem(sample);
        if (!problem.empty()) {
            std::fprintf(stderr, "quorvel-samples: error: %s: %s\n", sample.file.c_str(),
                         problem.c_str());
            return 1;
        }
    }
    for (const quorvel::Sample& sample : samples) {
        const quorvel::FileStatus status =
            quorvel::writeTextureFile(folder + sample.file, sample.record);
        if (!status.ok()) {
            std::fprintf(stderr, "quorvel-samples: error: %s\n", status.message.c_str());
            return 1;
        }
    }
    const quorvel::FileStatus status =
        quorvel::writeLibraryFile(folder + "default.qlb", quorvel::sampleLibrary(samples));
    if (!status.ok()) {
        std::fprintf(stderr, "quorvel-samples: error: %s\n", status.message.c_str());
        return 1;
    }
    return 0;
}
