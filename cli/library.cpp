#include "cli/library.h"

#include "cli/render.h"
#include "files/filenames.h"
#include "files/libraryfile.h"
#include "files/searchpath.h"

#include <cctype>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

namespace quorvel::cli {

namespace {

std::string stem(const std::string& name) {
    std::string file = nameAsRelativePath(name);
    const size_t slash = file.find_last_of('/');
    if (slash != std::string::npos) {
        file = file.substr(slash + 1);
    }
    if (file.size() > 4) {
        std::string ending = file.substr(file.size() - 4);
        for (char& c : ending) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (ending == ".qvl") {
            file.resize(file.size() - 4);
        }
    }
    return file;
}

std::string describe(const LibraryFileEntry& entry, const LoadedTexture& loaded) {
    switch (loaded.source) {
    case TextureSource::Path: return {};
    case TextureSource::Name:
        // A library that stores bare names as paths (as the shipped one does) means them to be
        // found by name, as the desktop program's library panel takes them.
        if (entry.path == entry.name && loaded.problems.empty()) {
            return {};
        }
        return "its path could not be read; used " + loaded.file;
    case TextureSource::MarbleDefaults:
        if (!loaded.problems.empty()) {
            // The first reason, as a clause within the note.
            std::string why = loaded.problems.substr(0, loaded.problems.find('\n'));
            why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
            return "rendered the Marble defaults; " + why;
        }
        return "its texture file was not found; rendered the Marble defaults";
    }
    return {};
}

}  // namespace

std::vector<std::string> outputNames(const std::vector<std::string>& entryNames,
                                     std::string_view extension) {
    const std::string dotted = "." + std::string(extension);
    std::vector<std::string> names;
    names.reserve(entryNames.size());
    // Each name taken, and for each base the next number to try: a name is passed over at most
    // once, so that naming stays linear even when every entry has the same name.
    std::unordered_set<std::string> taken;
    std::unordered_map<std::string, int> next;
    for (size_t k = 0; k < entryNames.size(); ++k) {
        std::string base = stem(entryNames[k]);
        base = base.empty() || base == "." || base == ".." ? "entry" + std::to_string(k + 1)
                                                           : portableFileName(base);
        std::string name = base + dotted;
        if (taken.count(name)) {
            int& n = next.try_emplace(base, 2).first->second;
            do {
                name = base + "-" + std::to_string(n++) + dotted;
            } while (taken.count(name));
        }
        taken.insert(name);
        names.push_back(std::move(name));
    }
    return names;
}

int renderLibrary(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel) {
    std::vector<LibraryFileEntry> entries;
    if (const FileStatus read = readLibraryFile(arguments.library, entries); !read.ok()) {
        return report(errors, read.message, kExitFailure);
    }
    if (arguments.entry && *arguments.entry > static_cast<int>(entries.size())) {
        return report(errors,
                      "'" + arguments.library + "' has " + std::to_string(entries.size()) +
                          " entries; there is no entry " + std::to_string(*arguments.entry),
                      kExitUsage);
    }
    // With --entry N only the entries up to N are named: N's name depends on those before it
    // and on no others.
    const size_t named = arguments.entry ? static_cast<size_t>(*arguments.entry) : entries.size();
    std::vector<std::string> entryNames;
    for (size_t k = 0; k < named; ++k) {
        entryNames.push_back(entries[k].name);
    }
    const std::vector<std::string> names = outputNames(entryNames, extensionOf(arguments.format));
    const std::string folder = arguments.outDir.empty() ? "." : arguments.outDir;
    // The output folder is made when missing, with its parents, as mkdir -p would.
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        return report(errors, "cannot create the folder '" + folder + "': " + made.message(),
                      kExitFailure);
    }
    const std::vector<std::string> searchPath = dataSearchPath();
    int exitCode = kExitSuccess;
    for (size_t k = arguments.entry ? named - 1 : 0; k < named; ++k) {
        if (cancel.load()) {
            return report(
                errors, "cancelled; entries from " + std::to_string(k + 1) + " on were not written",
                kExitFailure);
        }
        const LoadedTexture loaded = loadLibraryTexture(entries[k], searchPath);
        // -q silences notes as well as the progress bar.
        if (const std::string text = describe(entries[k], loaded);
            !text.empty() && !arguments.quiet) {
            note(errors, "entry " + std::to_string(k + 1) + " '" + entries[k].name + "': " + text);
        }
        const int code = writeTexture(loaded.record, folder + "/" + names[k], arguments.format,
                                      arguments, errors, cancel);
        if (code != kExitSuccess) {
            exitCode = code;
        }
    }
    return exitCode;
}

}  // namespace quorvel::cli
