#include <gtest/gtest.h>

#include "platform/path.h"

namespace velmora::path {
namespace {

// A full path made exact by the program: '/' read as '\', "." and ".." resolved, nothing
// else touched; a path that is not full, or climbs above its root, gives nothing.
TEST(Path, LexicallyNormal) {
    struct Case {
        const char* path;
        char sep;
        const char* normal;
    };
    const Case cases[] = {
        {R"(C:\Docs\Photos\..\report.txt)", '\\', R"(C:\Docs\report.txt)"},
        {"C:/Docs/./notes.txt", '\\', R"(C:\Docs\notes.txt)"},
        {"C:\\Docs\\b.txt ", '\\', "C:\\Docs\\b.txt "},
        {R"(C:\Docs\d.\x.)", '\\', R"(C:\Docs\d.\x.)"},
        {R"(C:\Docs\\\a\)", '\\', R"(C:\Docs\a)"},
        {R"(C:\a\..)", '\\', R"(C:\)"},
        {R"(C:\..)", '\\', ""},
        {R"(\\server\share\a\..\b)", '\\', R"(\\server\share\b)"},
        {R"(\\server\share\..)", '\\', ""},
        {R"(\\?\C:\a\.\b)", '\\', R"(\\?\C:\a\b)"},
        {R"(\\?\UNC\server\share\a)", '\\', R"(\\?\UNC\server\share\a)"},
        {"report.txt", '\\', ""},
        {"C:report.txt", '\\', ""},
        {R"(\Docs)", '\\', ""},
        {"/home/u/../v/./a ", '/', "/home/v/a "},
        {"/..", '/', ""},
        {"a\\b", '/', ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LexicallyNormal(c.path, c.sep), c.normal) << c.path;
    }
}

// The textual rules the other layers share.
TEST(Path, ElementsAndRoots) {
    EXPECT_EQ(FileName(R"(C:\Docs\b.txt )", '\\'), "b.txt ");
    EXPECT_EQ(FileName("C:/Docs/a", '\\'), "a");
    EXPECT_EQ(FileName("C:/Docs/a", '/'), "a");
    EXPECT_EQ(FileName(R"(C:\)", '\\'), "");
    EXPECT_EQ(ParentPath(R"(C:\Docs\a)", '\\'), R"(C:\Docs)");
    EXPECT_EQ(ParentPath(R"(C:\Docs)", '\\'), R"(C:\)");
    EXPECT_EQ(ParentPath("/docs", '/'), "/");
    EXPECT_EQ(ParentPath("name", '\\'), "");
    EXPECT_EQ(FolderPart(R"(C:\Tools\velmora.exe)", '\\'), R"(C:\Tools\)");
    EXPECT_EQ(Stem("velmora.exe"), "velmora");
    EXPECT_EQ(Stem(".profile"), ".profile");
    EXPECT_EQ(RootOf(R"(\\server\share\a)"), R"(\\server\share)");
    EXPECT_EQ(WithoutLongPrefix(R"(\\?\UNC\server\share\a)", '\\'), R"(\\server\share\a)");
    EXPECT_EQ(WithoutLongPrefix(R"(\\.\C:\a)", '\\'), R"(C:\a)");
    for (const char* root : {R"(C:\)", "c:/", R"(\\?\C:\)", R"(\\.\C:\)", R"(\\server\share\)"}) {
        EXPECT_TRUE(IsRoot(root, '\\')) << root;
    }
    for (const char* other : {R"(C:\a)", "C:", R"(\\server\share\a)", "a"}) {
        EXPECT_FALSE(IsRoot(other, '\\')) << other;
    }
    EXPECT_TRUE(IsRoot("/", '/'));
    EXPECT_TRUE(IsFullPath(R"(\\server\share)", '\\'));
    EXPECT_FALSE(IsFullPath("C:a", '\\'));
    EXPECT_TRUE(IsPlainRelative(R"(..\a)", '\\'));
    EXPECT_FALSE(IsPlainRelative("C:a", '\\'));
}

}  // namespace
}  // namespace velmora::path
