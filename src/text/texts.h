// Every replaceable text of the program: the built-in (Russian, UTF-8) texts keyed by
// string number, and the language table that replaces them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "text/safe_format.h"

namespace velmora {

using TextId = std::uint32_t;

// String numbers. Those marked "template" are the dialog templates' own texts.
namespace txt {
inline constexpr TextId kOk = 1, kCancel = 2, kSettings = 3, kHelp = 4;
inline constexpr TextId kCaptionOneFile = 5;  // one %s
inline constexpr TextId kCaptionSeveral = 6;  // one %d
inline constexpr TextId kDepthLabel = 7;
inline constexpr TextId kSettingsTitle = 50, kSettingsOk = 51, kSettingsCancel = 52,
                        kSettingsHelp = 53, kSaveWindowPos = 54, kSaveDepth = 55,
                        kDefaultDepth = 56, kLanguageFile = 57, kLanguageFilter = 58,
                        kHelpFileLabel = 59, kHelpFilter = 60;
inline constexpr TextId kErrorTitle = 100, kSkip = 101, kRetry = 102, kSkipAll = 103,
                        kErrorCancel = 104;
inline constexpr TextId kFileLinkError = 105;    // one %s
inline constexpr TextId kFolderLinkError = 106;  // one %s
inline constexpr TextId kFolderError = 107;      // one %s
inline constexpr TextId kUnknownError = 108;
inline constexpr TextId kFolderReadError = 109;  // one %s: a source folder that cannot be read
// Why the batch refuses a step; the prompt shows it where it shows the system's text.
inline constexpr TextId kNotFullPath = 110;         // a relative or drive-relative entry
inline constexpr TextId kRootEntry = 111;           // an entry that is a drive's (or the) root
inline constexpr TextId kLinkIsSource = 112;        // the link's name is its own source
inline constexpr TextId kMirrorInSource = 113;      // a mirror folder in its own source
inline constexpr TextId kNameIsReparsePoint = 114;  // a junction or symbolic link has the name
inline constexpr TextId kJunctionNotLocal = 115;    // a junction to a network folder
inline constexpr TextId kHardLinkOtherVolume = 116;  // two %s: the source's and the target's drive
inline constexpr TextId kNoHardLinksOnVolume = 117;  // one %s: the target's drive (FAT32, exFAT)
inline constexpr TextId kAboutTitle = 150, kAboutMenu = 151, kAboutProgram = 152,
                        kAboutVersion = 153, kAboutDeveloper = 154, kAboutHomePage = 156;
inline constexpr TextId kWrongArgs = 1001, kListUnreadable = 1002, kOneLinkSeveral = 1003,
                        kCommandFailed = 1004,  // one %d
    kHelpFailed = 1005, kSaveFailed = 1006;
inline constexpr TextId kNotAnInteger = 1007;  // the data exchange's integer-format message
// Why a list file is not run; one %s each: the list file's name.
inline constexpr TextId kListEmpty = 1008;             // it yields no entry
inline constexpr TextId kListZeroByte = 1009;          // a zero byte with text after it
inline constexpr TextId kListUnreadableCoding = 1010;  // UTF-16 BE or UTF-32
// Shown in the main dialog while a long batch runs.
inline constexpr TextId kBatchRunning = 160;   // heading while links are being made
inline constexpr TextId kBatchCounts = 161;    // two %d: links made so far, folders made so far
inline constexpr TextId kBatchCurrent = 162;   // one %s: the entry being linked
inline constexpr TextId kBatchStopping = 163;  // after Cancel, until the batch has stopped
// Forms separated by "|", chosen by the number (see text/plural.h); each form with one %d.
inline constexpr TextId kBatchCounting = 164;     // forms: the files counted before the first link
inline constexpr TextId kTimeLeftUnderMinute = 165;  // the time left is less than a minute
inline constexpr TextId kTimeLeftMinutes = 166;   // forms: minutes left
inline constexpr TextId kTimeLeftHours = 167;     // forms: hours left
// The summary after a batch that skipped anything.
inline constexpr TextId kSummarySkipped = 170;    // the heading
inline constexpr TextId kSummaryHardLinks = 171;  // one %d
inline constexpr TextId kSummaryJunctions = 172;  // one %d
inline constexpr TextId kSummaryFolders = 173;    // one %d
inline constexpr TextId kSummaryInPlace = 174;    // one %d
inline constexpr TextId kSummarySkipCount = 175;  // one %d
inline constexpr TextId kSummaryNames = 176;      // above the skipped names
inline constexpr TextId kSummaryMoreNames = 177;  // one %d: names not listed
inline constexpr TextId kSummaryDuration = 178;   // one %s: how long the batch took ("1:05")
}  // namespace txt

// The built-in text of a string number (UTF-8); empty for an unknown number.
std::string_view BuiltinText(TextId id);

// Every string number that has a built-in text, ascending.
const std::vector<TextId>& AllTextIds();

using LanguageTable = std::unordered_map<TextId, std::string>;

// The one way to a text: the language table with the built-in texts behind it.
class TextCatalog {
public:
    TextCatalog() = default;
    explicit TextCatalog(LanguageTable table) : m_table(std::move(table)) {}

    // The table's text for `id` when the table holds one (even an empty one), else nothing:
    // for texts that keep something else than the built-in text when the table lacks them
    // (a dialog template's text, a line of its own form).
    std::optional<std::string_view> Find(TextId id) const;
    // The table's text for `id` when the table holds one, else the built-in one.
    std::string Text(TextId id) const;
    // `id`'s text with printf-style `args` (integers, strings): the table's text when its
    // conversions are those of the built-in text, else the built-in text (text/safe_format.h).
    // Format(txt::kCaptionSeveral, 3) -> "... (3 шт.) в:".
    template <typename... Args>
    std::string Format(TextId id, const Args&... args) const {
        return FormatWith(id, {}, {AsFormatArg(args)...});
    }
    // As Format, with "\n%s" after the text, both the table's and the built-in one: a message
    // whose last argument is shown on its own line below it (the prompt's system reason).
    template <typename... Args>
    std::string FormatWithLastLine(TextId id, const Args&... args) const {
        return FormatWith(id, "\n%s", {AsFormatArg(args)...});
    }
    void SetTable(LanguageTable table) { m_table = std::move(table); }

private:
    static FormatArg AsFormatArg(std::string_view text) { return text; }
    static FormatArg AsFormatArg(const std::string& text) { return std::string_view(text); }
    static FormatArg AsFormatArg(const char* text) { return std::string_view(text); }
    template <typename Int, typename = std::enable_if_t<std::is_integral_v<Int>>>
    static FormatArg AsFormatArg(Int value) {
        return static_cast<std::int64_t>(value);
    }
    std::string FormatWith(TextId id, std::string_view suffix,
                           std::initializer_list<FormatArg> args) const;

    LanguageTable m_table;
};

}  // namespace velmora
