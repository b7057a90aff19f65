#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "support/cp1251.h"
#include "text/language_file.h"
#include "text/plural.h"
#include "text/safe_format.h"
#include "text/texts.h"

namespace velmora {
namespace {

std::string ReadShipped(const char* name) {
    const char* root = std::getenv("VELMORA_SOURCE_DIR");
    if (root == nullptr) ADD_FAILURE() << "VELMORA_SOURCE_DIR is not set";
    const std::string path = std::string(root ? root : ".") + "/lang/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) ADD_FAILURE() << "cannot open " << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The file's "\n" reads as CR LF; the built-in texts hold a bare LF.
std::string BareLineFeeds(std::string text) {
    for (std::size_t pos; (pos = text.find("\r\n")) != std::string::npos;) text.erase(pos, 1);
    return text;
}

void ExpectWellFormedFile(const std::string& bytes) {
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "the last line needs its line break";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
}

TEST(ShippedLanguages, EnglishCoversEveryNumberWithMatchingPlaceholders) {
    const std::string bytes = ReadShipped("English.lng");
    ExpectWellFormedFile(bytes);
    for (const char c : bytes) ASSERT_EQ(c & 0x80, 0) << "English.lng is plain ASCII";

    const LanguageTable table = ParseLanguageFile(bytes, test::Cp1251Decoder());
    for (const TextId id : AllTextIds()) {
        ASSERT_EQ(table.count(id), 1u) << "missing " << id;
        EXPECT_FALSE(table.at(id).empty()) << id;
        // Texts that change with their number: each form fits the built-in one for its number.
        for (const std::uint64_t n : {1, 2, 5}) {
            EXPECT_TRUE(
                ConversionsMatch(PluralForm(table.at(id), n), PluralForm(BuiltinText(id), n)))
                << id << " for " << n;
        }
    }
    EXPECT_EQ(table.size(), AllTextIds().size()) << "a number the program does not know";
}

TEST(ShippedLanguages, RussianReadsBackAsTheBuiltinTexts) {
    const std::string bytes = ReadShipped("Russian.lng");
    ExpectWellFormedFile(bytes);
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");

    // The ANSI decoder must not be needed: the mark makes the file UTF-8.
    const AnsiDecoder unused = [](std::string_view) -> std::string {
        ADD_FAILURE() << "decoded as ANSI";
        return {};
    };
    const LanguageTable table = ParseLanguageFile(bytes, unused);
    EXPECT_EQ(table.size(), AllTextIds().size());

    // The About box completes these three lines itself, so the file holds their openings.
    const std::map<TextId, std::string> completedByAbout = {
        {txt::kAboutProgram, " Velmora"},
        {txt::kAboutVersion, " "},
        {txt::kAboutDeveloper, " Tarnwell"},
    };
    for (const TextId id : AllTextIds()) {
        ASSERT_EQ(table.count(id), 1u) << "missing " << id;
        const auto completion = completedByAbout.find(id);
        const std::string shown = BareLineFeeds(table.at(id)) +
                                  (completion != completedByAbout.end() ? completion->second : "");
        EXPECT_EQ(shown, BuiltinText(id)) << id;
    }
}

TEST(ShippedLanguages, BuiltinTableIsCompleteAndSorted) {
    const std::vector<TextId>& ids = AllTextIds();
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    for (const TextId id : {1u, 7u, 50u, 60u, 100u, 108u, 150u, 151u, 152u, 153u, 154u, 156u, 160u,
                            163u, 1001u, 1007u}) {
        EXPECT_FALSE(BuiltinText(id).empty()) << id;
    }
    EXPECT_TRUE(BuiltinText(155).empty());
    EXPECT_TRUE(BuiltinText(0).empty());
    EXPECT_EQ(BuiltinText(txt::kCommandFailed), "Не удалось выполнить команду.\nКод ошибки: %d.");
    EXPECT_EQ(BuiltinText(txt::kLanguageFilter),
              "Языковые файлы (*.lng)|*.lng|Все файлы (*.*)|*.*||");
}

}  // namespace
}  // namespace velmora
