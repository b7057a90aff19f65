// Trees and lists far beyond the usual, on the real file system: a source 10,000 folders
// deep (its paths pass the system's limit long before its bottom), sources full of awkward
// symlinks, and a list file of 100,000 entries in each encoding. Each must complete or stop
// cleanly through the prompt, and the source must be left as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "links/batch.h"
#include "platform/posix/posix_fs.h"
#include "support/cp1251.h"
#include "support/scripted_prompt.h"
#include "support/tree_snapshot.h"
#include "text/command_line.h"

namespace velmora {
namespace {

namespace stdfs = std::filesystem;

class TempRoot {
public:
    TempRoot() {
        saved = stdfs::current_path();
        std::string pattern = (stdfs::temp_directory_path() / "velmora-scale-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~TempRoot() {
        std::error_code ec;
        stdfs::current_path(saved, ec);
        // Deeper than PATH_MAX: only a remover that works level by level gets it all.
        if (!path.empty()) (void)std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string path;
    stdfs::path saved;
};

// Each level of the deep tree. Longer than one letter so that the walk meets the path limit
// after some 580 levels instead of 2,000: every call on a full path costs the system one
// lookup per level, so the walk's cost grows with the square of the levels reached.
constexpr const char* kLevelName = "nested";

// Makes `levels` nested folders under `root`, each holding a file "f", working with
// descriptors so that no path ever passes PATH_MAX.
bool MakeDeepTree(const std::string& root, int levels) {
    int dir = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels && dir >= 0; ++i) {
        const int file = ::openat(dir, "f", O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (file < 0 || ::write(file, "x", 1) != 1) return false;
        ::close(file);
        if (::mkdirat(dir, kLevelName, 0755) != 0) return false;
        const int next = ::openat(dir, kLevelName, O_RDONLY | O_DIRECTORY);
        ::close(dir);
        dir = next;
    }
    if (dir < 0) return false;
    ::close(dir);
    return true;
}

struct DeepWalk {
    int levels = 0;       // nested folders found one below the other
    int filesLinked = 0;  // levels whose "f" is the source's own file (same inode)
    bool sourceIntact = true;
};

// Walks `mirror` (and `source` beside it) down the nested folders by descriptors.
DeepWalk WalkDeep(const std::string& source, const std::string& mirror) {
    DeepWalk walk;
    int s = ::open(source.c_str(), O_RDONLY | O_DIRECTORY);
    int m = ::open(mirror.c_str(), O_RDONLY | O_DIRECTORY);
    while (s >= 0 && m >= 0) {
        struct stat sf {
        }, mf{};
        if (::fstatat(s, "f", &sf, AT_SYMLINK_NOFOLLOW) != 0 || sf.st_size != 1)
            walk.sourceIntact = false;
        if (::fstatat(m, "f", &mf, AT_SYMLINK_NOFOLLOW) == 0 && mf.st_ino == sf.st_ino)
            ++walk.filesLinked;
        const int ns = ::openat(s, kLevelName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        const int nm = ::openat(m, kLevelName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        ::close(s);
        ::close(m);
        s = ns;
        m = nm;
        if (m >= 0) ++walk.levels;
    }
    if (s >= 0) ::close(s);
    if (m >= 0) ::close(m);
    return walk;
}

TEST(Scale, ATenThousandLevelTreeStopsCleanlyAtThePathLimit) {
    constexpr int kLevels = 10000;
    TempRoot root;
    ASSERT_FALSE(root.path.empty());
    const std::string src = root.path + "/s";
    const std::string dst = root.path + "/t";
    ASSERT_EQ(::mkdir(src.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dst.c_str(), 0755), 0);
    ASSERT_TRUE(MakeDeepTree(src, kLevels)) << std::strerror(errno);

    PosixFileSystem fs;
    test::ScriptedPrompt prompt;  // Skip, whatever is asked
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    EXPECT_EQ(batch.Run({src + "/"}, dst, -1).outcome, BatchOutcome::Completed);
    EXPECT_TRUE(messages.Shown().empty());

    // The mirror goes down as far as the system lets names go; there the step that no
    // longer fits is prompted (a folder, or the file just above it) and skipped, and with
    // it everything below: a handful of prompts, not one per level.
    ASSERT_FALSE(prompt.Messages().empty());
    EXPECT_LE(prompt.Messages().size(), 3u);
    for (const std::string& message : prompt.Messages()) {
        const bool folder =
            message.rfind(std::string(BuiltinText(txt::kFolderError)).substr(0, 20), 0) == 0;
        const bool file =
            message.rfind(std::string(BuiltinText(txt::kFileLinkError)).substr(0, 20), 0) == 0;
        EXPECT_TRUE(folder || file) << message;
    }
    const DeepWalk walk = WalkDeep(src, dst + "/s");
    const int step = static_cast<int>(std::strlen(kLevelName)) + 1;
    const int reachable = (PATH_MAX - static_cast<int>(dst.size()) - 2) / step;
    EXPECT_GT(walk.levels, reachable - 3);
    EXPECT_LE(walk.levels, reachable + 1);
    EXPECT_GE(walk.filesLinked, walk.levels - 1);
    EXPECT_TRUE(walk.sourceIntact);
}

TEST(Scale, AwkwardSymlinksInTheSourceNeitherLoopNorStopTheMirror) {
    TempRoot root;
    ASSERT_FALSE(root.path.empty());
    const std::string src = root.path + "/src";
    const std::string dst = root.path + "/dst";
    stdfs::create_directories(src + "/a/deep");
    stdfs::create_directories(src + "/b");
    stdfs::create_directories(dst);
    std::ofstream(src + "/a/deep/file.txt") << "file";
    std::ofstream(src + "/b/other.txt") << "other";
    // Two folders leading into each other, one leading to itself, one leading to the root,
    // one pointing nowhere and one pointing at itself (ELOOP on every use).
    stdfs::create_directory_symlink("../b", src + "/a/to_b");
    stdfs::create_directory_symlink("../a", src + "/b/to_a");
    stdfs::create_directory_symlink(".", src + "/a/deep/here");
    stdfs::create_directory_symlink(src, src + "/b/root");
    stdfs::create_symlink("missing", src + "/dangling");
    stdfs::create_symlink("self", src + "/self");
    const test::TreeSnapshot before = test::SnapshotTree(src);

    PosixFileSystem fs;
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    EXPECT_EQ(batch.Run({src + "/"}, dst, -1).outcome, BatchOutcome::Completed);
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_TRUE(stdfs::is_regular_file(dst + "/src/a/deep/file.txt"));
    EXPECT_TRUE(stdfs::is_regular_file(dst + "/src/b/other.txt"));
    // Each cycle is entered at most once before the walk sees a folder already on its path.
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(dst + "/src/a/deep/here")));
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(dst + "/src/b/root")));
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(dst + "/src/a/to_b/to_a")));
    std::size_t entries = 0;
    for (auto it = stdfs::recursive_directory_iterator(dst);
         it != stdfs::recursive_directory_iterator(); ++it) {
        ++entries;
    }
    EXPECT_LT(entries, 30u);
    EXPECT_EQ(test::DiffTrees(before, test::SnapshotTree(src), {.linkCounts = false}), "");
}

// A list file of 100,000 entries, as the file manager writes it in each of its encodings.
TEST(Scale, AHundredThousandEntryListFileInEveryEncoding) {
    constexpr int kEntries = 100000;
    std::string ansi, utf8 = "\xEF\xBB\xBF", utf16 = "\xFF\xFE";
    for (int i = 0; i < kEntries; ++i) {
        const std::string entry =
            "C:\\\xC4\xE0\xED\xED\xFB\xE5\\" + std::to_string(i) + (i % 7 ? ".txt" : "\\");
        ansi += entry + "\r\n";
        const std::string text = test::DecodeCp1251(entry);
        utf8 += text + "\r\n";
        for (const char16_t unit : Utf8ToUtf16(text)) {
            utf16 += static_cast<char>(unit & 0xFF);
            utf16 += static_cast<char>(unit >> 8);
        }
        utf16 += std::string("\r\0\n\0", 4);
    }
    for (const std::string* bytes : {&ansi, &utf8, &utf16}) {
        const std::vector<std::string> list = SplitListFile(*bytes, test::Cp1251Decoder());
        ASSERT_EQ(list.size(), static_cast<std::size_t>(kEntries));
        EXPECT_EQ(list.front(), "C:\\Данные\\0\\");
        EXPECT_EQ(list[1], "C:\\Данные\\1.txt");
        EXPECT_EQ(list.back(), "C:\\Данные\\99999.txt");
    }
}

}  // namespace
}  // namespace velmora
