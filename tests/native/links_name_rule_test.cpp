#include <gtest/gtest.h>

#include "links/batch.h"
#include "support/memory_fs.h"

namespace velmora {
namespace {

using test::MemoryFileSystem;

struct NameCase {
    const char* mask;
    const char* source;
    const char* composed;
};

TEST(NameRule, AppliesTheMaskToTheSourceName) {
    const NameCase cases[] = {
        {"*.*", R"(C:\Docs\report.txt)", R"(D:\Links\report.txt)"},
        {"*.bak", R"(C:\Docs\report.txt)", R"(D:\Links\report.bak)"},
        {"*", R"(C:\Docs\report.txt)", R"(D:\Links\report)"},
        {"*.", R"(C:\Docs\report.txt)", R"(D:\Links\report)"},
        {"new_*.*", R"(C:\Docs\report.txt)", R"(D:\Links\new_rt.txt)"},
        {"x*.*", R"(C:\Docs\report.txt)", R"(D:\Links\xeport.txt)"},
        {"*-2.*", R"(C:\Docs\report.txt)", R"(D:\Links\report.txt)"},
        {"*.*.old", R"(C:\Docs\report.txt)", R"(D:\Links\report.txt.old)"},
        {"*.*", R"(C:\Docs\archive.tar.gz)", R"(D:\Links\archive.tar.gz)"},
        {"*.*", R"(C:\Docs\.profile)", R"(D:\Links\.profile)"},
        {"copy.txt", R"(C:\Docs\report.txt)", R"(D:\Links\copy.txt)"},
        {"*.*", R"(C:\Docs\README)", R"(D:\Links\README.)"},
        {"*.*", R"(C:\Docs\Photos)", R"(D:\Links\Photos.)"},
        // The extension's own "*" copies from the same position as the letters before it.
        {"*.t*", R"(C:\Docs\report.txt)", R"(D:\Links\report.txt)"},
        {"*.ab*", R"(C:\Docs\report.txt)", R"(D:\Links\report.abt)"},
        {"*.*", "report.txt", R"(D:\Links\report.txt)"},
        // Characters, not bytes: each letter of the mask takes one character's place.
        {"X*.*", R"(C:\Docs\Файл.txt)", R"(D:\Links\Xайл.txt)"},
        {"ab*.*", R"(C:\Docs\Файл.txt)", R"(D:\Links\abйл.txt)"},
        {"*.Я*", R"(C:\Docs\a.txt)", R"(D:\Links\a.Яxt)"},
        {"Ü*.*", R"(C:\Docs\图片.jpg)", R"(D:\Links\Ü片.jpg)"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(ComposeLinkName(std::string(R"(D:\Links\)") + c.mask, c.source), c.composed)
            << "mask " << c.mask << ", source " << c.source;
    }
}

TEST(NameRule, ShortOrFolderlessPatternsStayAsTheyAre) {
    // Patterns of 3, 4 and 5 characters: only those shorter than 4 stay as they are.
    EXPECT_EQ(ComposeLinkName(R"(D:\)", R"(C:\Docs\report.txt)"), R"(D:\)");
    EXPECT_EQ(ComposeLinkName(R"(D:\*)", R"(C:\Docs\report.txt)"), R"(D:\report)");
    EXPECT_EQ(ComposeLinkName(R"(D:\x*)", R"(C:\Docs\report.txt)"), R"(D:\xeport)");
    EXPECT_EQ(ComposeLinkName("*.*", R"(C:\Docs\report.txt)"), "*.*");
    EXPECT_EQ(ComposeLinkName("", R"(C:\Docs\report.txt)"), "");
    EXPECT_EQ(ComposeLinkName("copy_*.*", R"(C:\Docs\report.txt)"), "copy_*.*");
    EXPECT_EQ(ComposeLinkName(R"(D:\*.*)", R"(C:\Docs\report.txt)"), R"(D:\report.txt)");
}

TEST(NameRule, UsesTheGivenSeparator) {
    EXPECT_EQ(ComposeLinkName("/links/*.bak", "/docs/report.txt", '/'), "/links/report.bak");
    EXPECT_EQ(ComposeLinkName("/links/*.*", "/docs/a.b/report", '/'), "/links/report.");
}

class FullLinkName : public ::testing::Test {
protected:
    FullLinkName() {
        fs.AddFolder(R"(C:\Docs\Photos)");
        fs.AddFolder(R"(D:\Links)");
        fs.AddFile(R"(C:\Docs\README)");
        fs.SetCurrent(R"(C:\Program)");
    }
    std::string Full(const std::string& pattern, const std::string& source) {
        return MakeFullLinkName(fs, ComposeLinkName(pattern, source), source);
    }
    MemoryFileSystem fs;
};

TEST_F(FullLinkName, DropsTheDotAddedForNamesWithoutExtension) {
    EXPECT_EQ(Full(R"(D:\Links\*.*)", R"(C:\Docs\README)"), R"(D:\Links\README)");
    EXPECT_EQ(Full(R"(D:\Links\*.*)", R"(C:\Docs\Photos)"), R"(D:\Links\Photos)");
}

TEST_F(FullLinkName, ResolvesRelativeNamesAgainstTheSourceFolder) {
    EXPECT_EQ(Full(R"(..\Links\*.*)", R"(C:\Docs\report.txt)"), R"(C:\Links\report.txt)");
    EXPECT_EQ(fs.Current(), R"(C:\Docs)");
    // A pattern too short for the rule becomes the name itself, in the source's folder.
    EXPECT_EQ(Full("*.*", R"(C:\Docs\report.txt)"), R"(C:\Docs\*.*)");
    EXPECT_EQ(Full("copy_*.*", R"(C:\Docs\Photos)"), R"(C:\Docs\copy_*.*)");
}

TEST_F(FullLinkName, ARelativeNameStaysWithTheSourceWhenItsFolderCannotBeMadeCurrent) {
    fs.FailPath(test::FsOp::SetCurrentFolder, R"(C:\Docs\)", err::kFilenameExcedRange, true);
    EXPECT_EQ(Full(R"(..\Links\*.*)", R"(C:\Docs\report.txt)"), R"(C:\Links\report.txt)");
    EXPECT_EQ(fs.Current(), R"(C:\Program)");
    EXPECT_EQ(Full(R"(Links\*.*)", R"(C:\Gone\x.txt)"), R"(C:\Gone\Links\x.txt)");
    EXPECT_EQ(Full(R"(D:\Links\*.*)", R"(C:\Gone\x.txt)"), R"(D:\Links\x.txt)");
    // Names that start at a root or a drive keep depending on the current drive only.
    EXPECT_EQ(Full(R"(\Links\*.*)", R"(C:\Gone\x.txt)"), R"(C:\Links\x.txt)");
}

TEST_F(FullLinkName, LeavesTheNameWhenTheSourceHasNoFolder) {
    EXPECT_EQ(MakeFullLinkName(fs, "x.txt", "abc"), "x.txt");
    EXPECT_EQ(MakeFullLinkName(fs, "x.txt", "report.txt"), "x.txt");
    EXPECT_EQ(MakeFullLinkName(fs, "x.txt", R"(C:\)"), "x.txt");
    fs.FailCall(test::FsOp::FullPath, 1, err::kAccessDenied);
    EXPECT_EQ(MakeFullLinkName(fs, "x.txt", R"(C:\Docs\a)"), "x.txt");
}

}  // namespace
}  // namespace velmora
