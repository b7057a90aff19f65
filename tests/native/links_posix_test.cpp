// The engine on real folders through the POSIX back end: hard links share the inode, mirrors
// match their source, junctions are directory symlinks, and the source is never changed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "links/batch.h"
#include "platform/posix/posix_fs.h"
#include "support/scripted_prompt.h"
#include "support/tree_snapshot.h"

namespace velmora {
namespace {

namespace stdfs = std::filesystem;
using test::DiffTrees;
using test::SnapshotTree;
using test::TreeEntry;

ino_t Inode(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class PosixEngine : public ::testing::Test {
protected:
    void SetUp() override {
        savedFolder = stdfs::current_path();  // the batch changes it; the tree goes away
        std::string pattern = (stdfs::temp_directory_path() / "velmora-engine-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        root = pattern;
        src = root + "/src";
        dst = root + "/dst";
        Write("src/a.txt", "alpha");
        Write("src/.hidden", "hidden");
        Write("src/sub1/b.bin", std::string(70000, '\x7f'));
        Write("src/sub1/sub2/c.txt", "gamma");
        Write("src/sub1/sub2/sub3/d.txt", "delta");
        stdfs::create_directories(src + "/empty");
        stdfs::create_directories(dst);
        before = SnapshotTree(src);
    }
    void TearDown() override {
        // Nothing in the source changed but the link counts that the new links raised.
        EXPECT_EQ(DiffTrees(before, SnapshotTree(src), {.linkCounts = false}), "");
        std::error_code ec;
        stdfs::current_path(savedFolder, ec);
        stdfs::remove_all(root, ec);
    }
    void Write(const std::string& rel, const std::string& contents) {
        const stdfs::path path = stdfs::path(root) / rel;
        stdfs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }
    BatchOutcome Run(const std::vector<std::string>& entries, const std::string& target,
                     int depth) {
        LinkBatch batch(fs, prompt, messages, texts);
        return batch.Run(entries, target, depth).outcome;
    }
    // Every file of the mirror is the very file of the source.
    void ExpectSameFiles(const std::string& mirror) {
        for (const auto& [name, entry] : SnapshotTree(mirror)) {
            if (entry.kind == TreeEntry::Kind::File) {
                EXPECT_EQ(Inode(mirror + "/" + name), Inode(src + "/" + name)) << name;
            }
        }
    }

    std::string root, src, dst;
    stdfs::path savedFolder;
    test::TreeSnapshot before;
    PosixFileSystem fs;
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
};

TEST_F(PosixEngine, FileEntriesShareTheInode) {
    EXPECT_EQ(Run({src + "/a.txt", src + "/sub1/b.bin"}, dst, 0), BatchOutcome::Completed);
    EXPECT_EQ(Inode(dst + "/a.txt"), Inode(src + "/a.txt"));
    EXPECT_EQ(Inode(dst + "/b.bin"), Inode(src + "/sub1/b.bin"));
    EXPECT_EQ(stdfs::hard_link_count(src + "/a.txt"), 2u);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(PosixEngine, FullMirrorMatchesTheSource) {
    EXPECT_EQ(Run({src + "/"}, dst, -1), BatchOutcome::Completed);
    EXPECT_EQ(DiffTrees(SnapshotTree(src), SnapshotTree(dst + "/src")), "");
    ExpectSameFiles(dst + "/src");
    for (const auto& [name, entry] : SnapshotTree(src)) {
        if (entry.kind == TreeEntry::Kind::File) {
            EXPECT_EQ(entry.links, 2u) << name;
        }
    }
    // Made again: every link is found in place (same inode), nothing is asked.
    EXPECT_EQ(Run({src + "/"}, dst, -1), BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(PosixEngine, MirrorsAtDepthOneAndTwoEndInJunctions) {
    stdfs::create_directories(dst + "/one");
    stdfs::create_directories(dst + "/two");
    ASSERT_EQ(Run({src + "/"}, dst + "/one", 1), BatchOutcome::Completed);
    ASSERT_EQ(Run({src + "/"}, dst + "/two", 2), BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());

    const std::string one = dst + "/one/src";
    EXPECT_EQ(stdfs::read_symlink(one + "/sub1"), src + "/sub1");
    EXPECT_EQ(stdfs::read_symlink(one + "/empty"), src + "/empty");
    EXPECT_EQ(Inode(one + "/a.txt"), Inode(src + "/a.txt"));
    EXPECT_EQ(Inode(one + "/.hidden"), Inode(src + "/.hidden"));

    const std::string two = dst + "/two/src";
    EXPECT_TRUE(stdfs::is_directory(stdfs::symlink_status(two + "/sub1")));
    EXPECT_TRUE(stdfs::is_directory(stdfs::symlink_status(two + "/empty")));
    EXPECT_EQ(stdfs::read_symlink(two + "/sub1/sub2"), src + "/sub1/sub2");
    EXPECT_EQ(Inode(two + "/sub1/b.bin"), Inode(src + "/sub1/b.bin"));
    // Seen through its junctions, each mirror is the source again.
    for (const std::string& mirror : {one, two}) {
        for (const auto& [name, entry] : SnapshotTree(src)) {
            EXPECT_TRUE(stdfs::exists(mirror + "/" + name)) << mirror << ": " << name;
        }
    }
}

TEST_F(PosixEngine, AJunctionIsADirectorySymlink) {
    EXPECT_EQ(Run({src + "/sub1/"}, dst, 0), BatchOutcome::Completed);
    EXPECT_EQ(stdfs::read_symlink(dst + "/sub1"), src + "/sub1");
    EXPECT_TRUE(stdfs::exists(dst + "/sub1/sub2/c.txt"));
}

TEST_F(PosixEngine, ASymlinkCycleIsPassedOver) {
    ASSERT_EQ(::symlink(src.c_str(), (src + "/sub1/sub2/loop").c_str()), 0);
    before = SnapshotTree(src);
    EXPECT_EQ(Run({src + "/"}, dst, -1), BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_TRUE(stdfs::exists(dst + "/src/sub1/sub2/sub3/d.txt"));
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(dst + "/src/sub1/sub2/loop")));
}

// A mirror inside its own source (by name, or through a symbolic link that leads into it),
// and a junction whose name is a symbolic link already, are refused with their reasons; the
// link is left as it is.
TEST_F(PosixEngine, AMirrorInsideItsSourceOrANameThatIsASymlinkIsRefused) {
    stdfs::create_directory_symlink(src + "/sub1", dst + "/src");
    EXPECT_EQ(Run({src + "/"}, src + "/sub1/", -1), BatchOutcome::Completed);
    EXPECT_EQ(Run({src + "/"}, dst, -1), BatchOutcome::Completed);
    EXPECT_EQ(Run({src + "/"}, dst, 0), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 3u);
    const TextId reasons[] = {txt::kMirrorInSource, txt::kMirrorInSource, txt::kNameIsReparsePoint};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(prompt.Messages()[i].find(texts.Text(reasons[i])), std::string::npos);
    }
    EXPECT_FALSE(stdfs::exists(src + "/sub1/src"));
    EXPECT_EQ(stdfs::read_symlink(dst + "/src"), src + "/sub1");
}

TEST_F(PosixEngine, AnExistingNameIsPromptedAndRetrySucceedsOnceItIsGone) {
    Write("dst/a.txt", "obstacle");
    prompt.Then(PromptAnswer::Retry);
    prompt.BeforeAnswer([&](const std::string&) { stdfs::remove(dst + "/a.txt"); });
    EXPECT_EQ(Run({src + "/a.txt"}, dst, 0), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_NE(prompt.Messages()[0].find(std::strerror(EEXIST)), std::string::npos);
    EXPECT_EQ(Inode(dst + "/a.txt"), Inode(src + "/a.txt"));
}

TEST(PosixFileSystemTest, FullPathFoldsNamesWithoutTouchingTheDisk) {
    PosixFileSystem fs;
    const stdfs::path saved = stdfs::current_path();
    ASSERT_TRUE(fs.SetCurrentFolder("/usr/share"));
    const std::string cwd = stdfs::current_path().string();
    EXPECT_EQ(fs.FullPath("a/b"), cwd + "/a/b");
    EXPECT_EQ(fs.FullPath("../x/./y//z"), stdfs::path(cwd).parent_path().string() + "/x/y/z");
    EXPECT_EQ(fs.FullPath("/no/such/README."), "/no/such/README");
    EXPECT_EQ(fs.FullPath("/no/such/name. . "), "/no/such/name");
    EXPECT_EQ(fs.FullPath("/a/.."), "/");
    EXPECT_EQ(fs.FullPath("/../.."), "/");
    EXPECT_EQ(fs.FullPath(""), std::nullopt);
    EXPECT_FALSE(fs.SetCurrentFolder(""));
    stdfs::current_path(saved);
}

TEST(PosixFileSystemTest, ErrorsMapOntoWindowsCodesAndBack) {
    PosixFileSystem fs;
    EXPECT_EQ(ErrorFromErrno(EEXIST), err::kAlreadyExists);
    EXPECT_EQ(ErrorFromErrno(EMLINK), err::kTooManyLinks);
    EXPECT_EQ(ErrorFromErrno(ENOSPC), err::kDiskFull);
    EXPECT_EQ(ErrorFromErrno(ELOOP), err::kPosixErrorBase | ELOOP);
    EXPECT_EQ(fs.ErrorText(err::kAccessDenied), std::string(std::strerror(EACCES)) + "\r\n");
    EXPECT_EQ(fs.ErrorText(err::kPosixErrorBase | ELOOP),
              std::string(std::strerror(ELOOP)) + "\r\n");
    EXPECT_EQ(fs.ErrorText(err::kFilenameExcedRange),
              std::string(std::strerror(ENAMETOOLONG)) + "\r\n");
    EXPECT_EQ(fs.ErrorText(999999), "");
}

TEST_F(PosixEngine, AFailedMountPointPutsTheFolderBack) {
    stdfs::create_directories(dst + "/keep");
    ASSERT_EQ(::chmod((dst + "/keep").c_str(), 0750), 0);
    const std::string tooLong(5000, 'x');  // longer than any symlink target may be
    EXPECT_EQ(fs.SetMountPoint(dst + "/keep", tooLong, {}), err::kFilenameExcedRange);
    const stdfs::file_status status = stdfs::symlink_status(dst + "/keep");
    EXPECT_TRUE(stdfs::is_directory(status));
    EXPECT_EQ(status.permissions() & stdfs::perms::all, stdfs::perms(0750));
    // A folder that holds anything is never replaced.
    Write("dst/full/x", "x");
    EXPECT_EQ(fs.SetMountPoint(dst + "/full", src, {}), err::kDirNotEmpty);
    EXPECT_TRUE(stdfs::exists(dst + "/full/x"));
}

TEST_F(PosixEngine, ListFolderReportsSymlinkedFoldersAsFolders) {
    ASSERT_EQ(::symlink((src + "/sub1").c_str(), (dst + "/dirlink").c_str()), 0);
    ASSERT_EQ(::symlink((src + "/a.txt").c_str(), (dst + "/filelink").c_str()), 0);
    std::vector<FoundEntry> found{{"stale", true}, {"stale2", false}, {"stale3", true}};
    ASSERT_EQ(err::kSuccess, fs.ListFolder(dst, found));
    ASSERT_EQ(found.size(), 2u);
    for (const FoundEntry& entry : found) {
        EXPECT_EQ(entry.isFolder, entry.name == "dirlink") << entry.name;
    }
    EXPECT_NE(err::kSuccess, fs.ListFolder(dst + "/none", found));
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace velmora
