#include "cli/library.h"
#include "engine/defaults.h"
#include "files/libraryfile.h"
#include "tests/cli/runprogram.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::cli {
namespace {

using namespace testing;
using namespace std::string_literals;
using Entries = std::vector<LibraryFileEntry>;

int shell(const std::string& folder, const std::string& command) {
    return std::system(("cd " + folder + " && " + command).c_str());
}

// Per row: what the folder holds, who writes, the target, why it is refused (none when it is
// replaced) and what must hold afterwards. "Unprivileged" is the tester, or nobody for root;
// "Nobody" must also not own the files, and "Root" may write anything, as cp would.
TEST(WritingTargets, OnlyARegularFileTheUserMayWriteIsReplaced) {
    enum User { Anyone, Root, Unprivileged, Nobody };
    const std::string longName = std::string(251, 'a') + ".png";
    const std::tuple<const char*, User, std::string, const char*, const char*> rows[] = {
        {"mkfifo n && ln -s n t", Anyone, "t", "it links to a named pipe", "test -p n -a -L t"},
        {"mknod n c 1 3 && ln -s n t", Root, "t", "it links to a device", "test -c n -a -L t"},
        // Only a user who could not replace /dev/null even if the check failed links to it.
        {"ln -s /dev/null t", Unprivileged, "t", "it links to a device", "test -L t"},
        {"mkfifo t", Anyone, "t", "it is a named pipe", "test -p t"},
        {"mkdir t", Anyone, "t", "it is a folder", "test -d t"},
        {"ln -s gone t", Anyone, "t", "it is a symbolic link to nothing.", "test ! -e gone"},
        {"ln -s t t", Anyone, "t", "its symbolic links form a loop.", "test -L t"},
        {"echo k >t && chmod 444 t", Unprivileged, "t", "permission denied.", "grep -qx k t"},
        {"echo k >t", Nobody, "t", "permission denied.", "grep -qx k t"},
        {"echo k >t && chmod 444 t", Root, "t", "", "test $(stat -c %a t) = 444"},
        {"touch t && chown nobody:nogroup t", Root, "t", "",
         "test $(stat -c %U:%G t) = nobody:nogroup"},
        {"touch r && chmod 6755 r && ln -s r t", Anyone, "t", "",
         "test -L t -a $(stat -c %a r) = 755"},
        {"echo old >.t.quorvel-part", Anyone, "t", "", "test ! -e .t.quorvel-part"},
        {"flock .t.quorvel-part sleep 3 2>&- & sleep 0.3", Anyone, "t", "",
         "test -e .t.quorvel-part"},
        {"true", Anyone, longName, "", "true"},
    };
    const bool root = ::geteuid() == 0;
    for (const auto& [setup, user, target, refusal, after] : rows) {
        if (!root && (user == Root || user == Nobody)) {
            std::printf("skipped, needs root: %s\n", setup);
            continue;
        }
        ScratchFolder folder;
        ::chmod(folder.path.c_str(), 0777);
        ASSERT_EQ(shell(folder.path, setup), 0) << setup;
        const bool other = root && (user == Unprivileged || user == Nobody);
        const auto [code, out, err] =
            run("-q -s 4x4 -f png -o " + target, folder.path,
                other ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "");
        const std::string refused =
            *refusal ? "quorvel-render: error: cannot write '" + target + "': " + refusal : "";
        EXPECT_TRUE(code == (*refusal ? 1 : 0) && err.starts_with(refused)) << setup << err;
        EXPECT_EQ(err.empty(), !*refusal) << setup;
        // A replaced file holds the image; no temporary file of another name remains.
        EXPECT_EQ(shell(folder.path, std::string(after) + " && ! ls -A | grep -q 'part.' && " +
                                         (*refusal ? "true" : "grep -q PNG " + target)),
                  0)
            << setup;
    }
}

// Named pipes and devices are refused unread by the program and by the readers behind the
// desktop program's Open, library Load and Add; standard input is still read, and a signal ends
// a wait on it. `timeout` and alarm() turn a wait for ever into a failure.
TEST(BlockingInputs, APipeOrDeviceIsRefusedAtOnceAndASignalEndsAWait) {
    ScratchFolder folder;
    ASSERT_EQ(shell(folder.path, "mkfifo p && ln -s p l.qvl && ln -s /dev/zero z.qvl"), 0);
    const std::pair<const char*, const char*> rows[] = {
        {"p -o o.png", "'p': it is a named pipe"},
        {"l.qvl -o o.png", "'l.qvl': it is a named pipe"},
        {"z.qvl -o o.png", "'z.qvl': it is a device"},
        {"-l p", "'p': it is a named pipe"},
    };
    for (const auto& [args, refusal] : rows) {
        EXPECT_EQ(run(args, folder.path, "timeout -s KILL 10 "),
                  std::tuple(1, ""s,
                             "quorvel-render: error: cannot open "s + refusal +
                                 ", not a regular file.\n"));
    }
    ::alarm(10);
    TextureParams record;
    Entries entries;
    EXPECT_NE(readTextureDocument(folder / "l.qvl", record).message.find("named pipe"), npos);
    EXPECT_NE(readLibraryFile(folder / "p", entries).message.find("named pipe"), npos);
    ::alarm(0);
    EXPECT_EQ(shell(folder.path, "{ sleep 5 >p 2>&- & " + std::string(QUORVEL_RENDER_PATH) +
                                     " -q - -f png -o s.png <p & sleep 0.3; kill -TERM $!; "
                                     "wait $!; test $? = 143 -a ! -e s.png; }"),
              0);
}

// Entry names with control bytes, malformed UTF-8, a leading dot or dash, characters other
// file systems refuse, or a ".." part: no control byte reaches a note or a file name, and no
// lookup leaves the search path. 32767 equal names are named in linear time.
TEST(HostileLibraries, NamesAreEscapedMadePortableAndKeptInsideTheSearchPath) {
    const std::pair<std::string, std::string> rows[] = {
        {"\\\x1b[31mred.qvl", "_[31mred.png"},
        {"a\tb\nc.qvl", "a_b_c.png"},
        {"\xff\xc0\xaf.qvl", "___.png"},
        {"\\.hidden.qvl", "_hidden.png"},
        {"\\-rf.qvl", "_rf.png"},
        {"\\\u00e9\u202eevil.qvl", "\u00e9_evil.png"},
        {"\\a:b|c?.qvl", "a_b_c_.png"},
        {"\\..\\outside.qvl", "outside.png"},
    };
    ScratchFolder folder;  // the program runs in lib/, beside outside.qvl
    writeBytes(folder / "outside.qvl", documentBytes(materialDefaults(2)));
    std::filesystem::create_directory(folder / "lib");
    Entries entries;
    Names names;
    for (const auto& [name, output] : rows) {
        entries.push_back({name, ""});
        names.push_back(output);
    }
    ASSERT_TRUE(writeLibraryFile(folder / "lib/x.qlb", entries).ok());
    const auto [code, out, err] = run("-s 2x2 -l x.qlb -d out", folder / "lib");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), std::ssize(rows)) << err;
    EXPECT_TRUE(
        std::none_of(err.begin(), err.end(), [](char c) { return c > 0 && c < ' ' && c != '\n'; }));
    EXPECT_NE(err.find("'\\..\\outside.qvl' is not looked up"), npos) << err;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(namesIn(folder / "lib/out"), names);
    // Under the watchdog, far more time than the naming takes.
    const Entries same(32767, {"\\same.qvl", ""});
    ASSERT_TRUE(writeLibraryFile(folder / "same.qlb", same).ok());
    EXPECT_EQ(run("-q -s 1x1 -l same.qlb -e 32767", folder.path, "timeout -s KILL 10 "),
              std::tuple(0, ""s, ""s));
    EXPECT_TRUE(std::filesystem::exists(folder / "same-32767.png"));
}

}  // namespace
}  // namespace quorvel::cli
