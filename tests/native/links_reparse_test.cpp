#include <gtest/gtest.h>

#include "links/reparse.h"

namespace velmora {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (const int v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v));
    }
    return bytes;
}

void AppendUtf16(std::vector<std::uint8_t>& out, std::u16string_view text) {
    for (const char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

TEST(MountPoint, SubstituteNameIsTheNtForm) {
    EXPECT_EQ(MountPointSubstituteName(R"(C:\Data\Photos)"), u"\\??\\C:\\Data\\Photos");
    EXPECT_EQ(MountPointSubstituteName(R"(C:\Data\Photos\)"), u"\\??\\C:\\Data\\Photos");
    EXPECT_EQ(MountPointSubstituteName(R"(C:\)"), u"\\??\\C:\\");
    EXPECT_EQ(MountPointSubstituteName(R"(D:\Фото)"), u"\\??\\D:\\Фото");
    // Only one trailing backslash goes; the path is otherwise taken as it stands.
    EXPECT_EQ(MountPointSubstituteName(R"(C:\A\\)"), u"\\??\\C:\\A\\");
    EXPECT_EQ(MountPointSubstituteName("rel"), u"\\??\\rel");
    EXPECT_EQ(MountPointSubstituteName(""), u"\\??\\");
}

TEST(MountPoint, BufferForAnEighteenCharacterName) {
    const std::vector<std::uint8_t> buffer =
        BuildMountPointBuffer(MountPointSubstituteName(R"(C:\Data\Photos)"));
    std::vector<std::uint8_t> expected = Bytes({0x03, 0x00, 0x00, 0xA0, 0x30, 0x00, 0x00, 0x00,
                                                0x00, 0x00, 0x24, 0x00, 0x26, 0x00, 0x00, 0x00});
    AppendUtf16(expected, u"\\??\\C:\\Data\\Photos");
    expected.insert(expected.end(), {0, 0, 0, 0});
    ASSERT_EQ(buffer.size(), 56u);
    EXPECT_EQ(buffer, expected);
    // A trailing backslash on the source makes no difference.
    EXPECT_EQ(BuildMountPointBuffer(MountPointSubstituteName(R"(C:\Data\Photos\)")), expected);
}

TEST(MountPoint, BufferForADriveRoot) {
    const std::vector<std::uint8_t> buffer =
        BuildMountPointBuffer(MountPointSubstituteName(R"(E:\)"));
    std::vector<std::uint8_t> expected = Bytes({0x03, 0x00, 0x00, 0xA0, 0x1A, 0x00, 0x00, 0x00,
                                                0x00, 0x00, 0x0E, 0x00, 0x10, 0x00, 0x00, 0x00});
    AppendUtf16(expected, u"\\??\\E:\\");
    expected.insert(expected.end(), {0, 0, 0, 0});
    EXPECT_EQ(buffer, expected);
}

TEST(MountPoint, LongNamesAreSizedToTheName) {
    std::string source = R"(C:\)";
    for (int i = 0; i < 60; ++i) {
        source += "folder" + std::to_string(i % 10) + "\\";
    }
    source.pop_back();
    const std::u16string name = MountPointSubstituteName(source);
    ASSERT_GT(name.size(), 260u);
    const std::vector<std::uint8_t> buffer = BuildMountPointBuffer(name);
    const std::size_t length = name.size() * 2;
    ASSERT_EQ(buffer.size(), length + 20);
    EXPECT_EQ(buffer[4] | buffer[5] << 8, static_cast<int>(length + 12));
    EXPECT_EQ(buffer[10] | buffer[11] << 8, static_cast<int>(length));
    EXPECT_EQ(buffer[12] | buffer[13] << 8, static_cast<int>(length + 2));
    EXPECT_EQ(buffer[16 + length - 2], '9');  // the last character of the name
    EXPECT_EQ(buffer[buffer.size() - 1], 0);
}

TEST(MountPoint, NamesBeyondTheLengthFieldsAreRefused) {
    // L + 12 must fit 16 bits: L = 65522 bytes (32761 units) is the largest that does.
    EXPECT_EQ(BuildMountPointBuffer(std::u16string(32761, u'a')).size(), 65542u);
    EXPECT_TRUE(BuildMountPointBuffer(std::u16string(32762, u'a')).empty());
}

}  // namespace
}  // namespace velmora
