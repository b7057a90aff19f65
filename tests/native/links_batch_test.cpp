// The batch over the in-memory file system: depth table, prompts and their answers, Cancel,
// cycles. Every test ends by checking that the source tree is as it was and that nothing was
// removed but a folder the junction step itself made.
#include <gtest/gtest.h>

#include <stdexcept>

#include "links/batch.h"
#include "links/reparse.h"
#include "platform/utf.h"
#include "support/memory_fs.h"
#include "support/scripted_prompt.h"

namespace velmora {
namespace {

using test::FsOp;
using test::MemoryFileSystem;

// The prompt text with the built-in format: message, name, system text.
std::string Expected(TextId id, const std::string& name, const std::string& error) {
    std::string text(BuiltinText(id));
    text.replace(text.find("%s"), 2, name);
    return text + "\n" + error;
}

class Batch : public ::testing::Test {
protected:
    Batch() {
        fs.ShareVolume("D:", "C:");
        fs.AddFile(R"(C:\Docs\report.txt)", "report");
        fs.AddFile(R"(C:\Docs\notes.txt)", "notes");
        fs.AddFile(R"(C:\Docs\Photos\a.jpg)", "a");
        fs.AddFile(R"(C:\Docs\Photos\b.jpg)", "b");
        fs.AddFile(R"(C:\Docs\Photos\2020\c.jpg)", "c");
        fs.AddFile(R"(C:\Docs\Photos\2020\Summer\d.jpg)", "d");
        fs.AddFolder(R"(C:\Docs\Photos\Empty)");
        fs.AddFolder(R"(D:\Links)");
        fs.SetCurrent(R"(C:\Program)");
    }
    void SetUp() override { sourceBefore = fs.Describe(sourceRoot); }
    void TearDown() override {
        EXPECT_EQ(fs.Describe(sourceRoot), sourceBefore) << "the source tree changed";
        EXPECT_TRUE(fs.OnlyFoldersItMadeRemoved());
    }
    BatchOutcome Run(const std::vector<std::string>& entries, const std::string& target,
                     int depth = 0) {
        result = batch.Run(entries, target, depth);
        return result.outcome;
    }
    std::string Text(TextId id) const { return texts.Text(id); }

    MemoryFileSystem fs;
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch{fs, prompt, messages, texts};
    BatchResult result;
    std::string sourceRoot = R"(C:\Docs)";
    std::string sourceBefore;
};

TEST_F(Batch, FileEntriesGetHardLinksNamedByThePattern) {
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links)"),
              BatchOutcome::Completed);
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\report.txt)", R"(C:\Docs\report.txt)"));
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\notes.txt)", R"(C:\Docs\notes.txt)"));
    EXPECT_EQ(fs.LinkCount(R"(C:\Docs\report.txt)"), 2);
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(Batch, OneFileTakesThePlainNameItWasGiven) {
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)"}, R"(D:\Links\renamed.txt)"), BatchOutcome::Completed);
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\renamed.txt)", R"(C:\Docs\report.txt)"));
}

TEST_F(Batch, AMaskAppliesToEveryEntry) {
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links\*.lnk)"),
              BatchOutcome::Completed);
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\report.lnk)", R"(C:\Docs\report.txt)"));
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\notes.lnk)", R"(C:\Docs\notes.txt)"));
}

TEST_F(Batch, OneNameForSeveralEntriesIsRefused) {
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links\all.txt)"),
              BatchOutcome::Refused);
    EXPECT_EQ(messages.Shown(), std::vector<std::string>{Text(txt::kOneLinkSeveral)});
    EXPECT_EQ(fs.CountEntries(R"(D:\Links)"), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::CreateHardLink) + fs.CallCount(FsOp::CreateFolder), 0u);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(Batch, TargetCompletion) {
    // A trailing separator is completed without asking the file system.
    EXPECT_EQ(CompleteTarget(fs, R"(D:\Nowhere\)", 2), R"(D:\Nowhere\*.*)");
    EXPECT_EQ(fs.CallCount(FsOp::Any), 0u);
    EXPECT_EQ(CompleteTarget(fs, R"(D:\Links)", 2), R"(D:\Links\*.*)");
    EXPECT_EQ(fs.Current(), R"(D:\Links)");
    EXPECT_EQ(CompleteTarget(fs, R"(D:\Links\x*.txt)", 2), R"(D:\Links\x*.txt)");
    EXPECT_EQ(CompleteTarget(fs, R"(D:\Links\one.txt)", 1), R"(D:\Links\one.txt)");
    EXPECT_EQ(CompleteTarget(fs, R"(D:\Li*ks\one.txt)", 2), std::nullopt);
    EXPECT_EQ(CompleteTarget(fs, "copy_*.*", 2), "copy_*.*");
    EXPECT_EQ(CompleteTarget(fs, "plain", 2), std::nullopt);
    EXPECT_EQ(CompleteTarget(fs, "", 1), "");
    // A relative target is looked up against the current folder of the moment.
    fs.SetCurrent(R"(D:\)");
    EXPECT_EQ(CompleteTarget(fs, "Links", 2), R"(Links\*.*)");
}

TEST_F(Batch, AnEmptyListMakesNothingButStillCompletesTheTarget) {
    EXPECT_EQ(Run({}, R"(D:\Links)"), BatchOutcome::Completed);
    EXPECT_EQ(fs.Current(), R"(D:\Links)");
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(fs.CountEntries(R"(D:\Links)"), 0u);
}

// Every entry is made a full, normal name first ("." and ".." resolved, '/' read as '\',
// "\\?\" understood); the link is named by its last real element and a junction leads to
// "\??\" and that name. An entry that names no definite file or folder, or a network
// folder for a junction, is refused through the prompt of its kind.
TEST_F(Batch, EntriesAreMadeFullAndNormalFirst) {
    fs.AddFile(R"(C:\Program\report.txt)", "namesake");
    fs.AddFile("C:\\Docs\\notes.txt ", "the blank one");
    fs.AddFolder(R"(C:\Docs\Photos.)");
    fs.AddFolder(R"(\\server\share\dir)");
    sourceBefore = fs.Describe(sourceRoot);
    struct Case {
        const char* entry;
        int depth;
        const char* source;  // the entry's normal form, linked as D:\Links\<made>
        const char* made;
        TextId kind = 0;
        TextId reason = 0;
    };
    const Case cases[] = {
        {R"(C:\Docs\Photos\..\report.txt)", 0, R"(C:\Docs\report.txt)", "report.txt"},
        {"C:/Docs/notes.txt", 0, R"(C:\Docs\notes.txt)", "notes.txt"},
        {R"(\\?\C:\Docs\Photos\a.jpg)", 0, R"(C:\Docs\Photos\a.jpg)", "a.jpg"},
        {R"(C:\Docs\Photos\2020\..\)", 0, R"(C:\Docs\Photos)", "Photos"},
        {R"(\\?\C:\Docs\Photos\2020\.\)", 0, R"(C:\Docs\Photos\2020)", "2020"},
        {R"(C:\Docs\Photos\2020\Summer\..\..\Empty\)", 1, R"(C:\Docs\Photos\Empty)", "Empty"},
        {"", 0, "", "", txt::kFileLinkError, txt::kNotFullPath},
        {"report.txt", 0, "", "", txt::kFileLinkError, txt::kNotFullPath},
        {"C:report.txt", 0, "", "", txt::kFileLinkError, txt::kNotFullPath},
        {R"(\Docs\report.txt)", 0, "", "", txt::kFileLinkError, txt::kNotFullPath},
        {R"(..\Docs\Photos\)", 1, "", "", txt::kFolderError, txt::kNotFullPath},
        {R"(C:\\)", 0, "", "", txt::kFolderLinkError, txt::kRootEntry},
        // Names are kept exactly: a blank or a dot at the end is part of the name.
        {"C:\\Docs\\notes.txt ", 0, "C:\\Docs\\notes.txt ", "notes.txt "},
        {R"(C:\Docs\Photos.\)", 1, R"(C:\Docs\Photos.)", "Photos."},
        {"C:/Docs/Photos/2020/Summer/", 0, R"(C:\Docs\Photos\2020\Summer)", "Summer"},
        // A root in every form, named as it was given.
        {R"(C:\)", 1, "", "", txt::kFolderError, txt::kRootEntry},
        {"C:/", 0, "", "", txt::kFolderLinkError, txt::kRootEntry},
        {R"(\\?\C:\)", 1, "", "", txt::kFolderError, txt::kRootEntry},
        {R"(\\.\C:\)", 0, "", "", txt::kFolderLinkError, txt::kRootEntry},
        // (A junction's prompt names the junction.)
        {R"(\\server\share\dir\)", 0, "", R"(D:\Links\dir)", txt::kFolderLinkError,
         txt::kJunctionNotLocal},
    };
    const std::string outside = fs.Describe("D:\\");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const std::size_t asked = prompt.Messages().size();
        ASSERT_EQ(Run({c.entry}, R"(D:\Links)", c.depth), BatchOutcome::Completed);
        if (c.reason != 0) {
            const std::string shown = *c.made != '\0' ? c.made : c.entry;
            ASSERT_EQ(prompt.Messages().size(), asked + 1);
            EXPECT_EQ(prompt.Messages().back(), Expected(c.kind, shown, Text(c.reason)));
            continue;
        }
        EXPECT_EQ(prompt.Messages().size(), asked);
        const std::string link = std::string(R"(D:\Links\)") + c.made;
        if (c.depth != 0) {
            EXPECT_TRUE(fs.IsFolder(link));
        } else if (fs.IsJunction(link)) {
            EXPECT_EQ(fs.JunctionData(link),
                      BuildMountPointBuffer(u"\\??\\" + Utf8ToUtf16(c.source)));
        } else {
            EXPECT_TRUE(fs.SameFile(link, c.source));
        }
    }
    EXPECT_EQ(fs.CountEntries(R"(D:\Links)"), 9u);  // nothing else, and nothing outside
    EXPECT_EQ(fs.CountEntries("D:\\"), 10u);
}

// What stands at a link's name is never changed, and a link never takes its own source's
// place: each case is one prompt of its kind with the reason, before anything is made.
TEST_F(Batch, WhatStandsAtTheNameIsNeverChanged) {
    fs.AddFile(R"(C:\Other\keep.txt)", "keep");
    fs.AddJunction(R"(D:\Taken\Photos)", R"(C:\Other)");
    fs.AddJunction(R"(D:\Into)", R"(C:\Docs\Photos)");
    fs.AddJunction(R"(D:\Below)", R"(C:\Docs\Photos\2020)");
    fs.AddFile(R"(C:\Docs\Отчёт.txt)", "report");
    sourceBefore = fs.Describe(sourceRoot);
    struct Case {
        const char* entry;
        const char* target;
        int depth;
        TextId kind;
        const char* shown;
        TextId reason;
    };
    const Case cases[] = {
        {R"(C:\Docs\report.txt)", R"(C:\Docs\)", 0, txt::kFileLinkError, R"(C:\Docs\report.txt)",
         txt::kLinkIsSource},
        {R"(C:\Docs\Photos\Empty\)", R"(C:\Docs\Photos\)", 0, txt::kFolderLinkError,
         R"(C:\Docs\Photos\Empty)", txt::kLinkIsSource},
        {R"(C:\Docs\Photos\)", R"(C:\Docs\)", 1, txt::kFolderError, R"(C:\Docs\Photos)",
         txt::kMirrorInSource},
        {R"(C:\Docs\)", R"(C:\Docs\Photos\)", -1, txt::kFolderError, R"(C:\Docs\Photos\Docs)",
         txt::kMirrorInSource},
        {R"(C:\Docs\Photos\)", R"(D:\Into\)", 2, txt::kFolderError, R"(D:\Into\Photos)",
         txt::kMirrorInSource},
        // Case differences are no other name, in any script.
        {R"(C:\Docs\report.txt)", R"(C:\Docs\REPORT.TXT)", 0, txt::kFileLinkError,
         R"(C:\Docs\report.txt)", txt::kLinkIsSource},
        {R"(C:\Docs\Отчёт.txt)", R"(C:\Docs\отчёт.txt)", 0, txt::kFileLinkError,
         R"(C:\Docs\Отчёт.txt)", txt::kLinkIsSource},
        // A target that leads into the source through a junction.
        {R"(C:\Docs\Photos\)", R"(D:\Below\)", -1, txt::kFolderError, R"(D:\Below\Photos)",
         txt::kMirrorInSource},
        {R"(C:\Docs\Photos\)", R"(D:\Taken\)", 0, txt::kFolderLinkError, R"(D:\Taken\Photos)",
         txt::kNameIsReparsePoint},
        {R"(C:\Docs\Photos\)", R"(D:\Taken\)", -1, txt::kFolderError, R"(D:\Taken\Photos)",
         txt::kNameIsReparsePoint},
    };
    const std::string before = fs.Describe("C:\\") + fs.Describe("D:\\");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " into " + c.target);
        const std::size_t asked = prompt.Messages().size();
        ASSERT_EQ(Run({c.entry}, c.target, c.depth), BatchOutcome::Completed);
        ASSERT_EQ(prompt.Messages().size(), asked + 1);
        EXPECT_EQ(prompt.Messages().back(), Expected(c.kind, c.shown, Text(c.reason)));
        EXPECT_EQ(result.skippedNames, std::vector<std::string>{c.shown});
    }
    EXPECT_EQ(fs.Describe("C:\\") + fs.Describe("D:\\"), before);
}

// A folder entry that names nothing must not look linked: at any depth it ends in the
// prompt with the system's reason, and nothing is made for it.
TEST_F(Batch, AFolderEntryThatNamesNothingIsPromptedAndMakesNothing) {
    EXPECT_EQ(Run({R"(C:\Docs\Gone\)"}, R"(D:\Links)", 1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0],
              Expected(txt::kFolderReadError, R"(C:\Docs\Gone)", fs.ErrorText(err::kPathNotFound)));
    EXPECT_EQ(Run({R"(C:\Docs\Gone\)"}, R"(D:\Links)", 0), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 2u);
    EXPECT_EQ(prompt.Messages()[1], Expected(txt::kFolderLinkError, R"(D:\Links\Gone)",
                                             fs.ErrorText(err::kPathNotFound)));
    EXPECT_EQ(fs.CountEntries(R"(D:\Links)"), 0u);
    EXPECT_TRUE(fs.Removals().empty());
}

TEST_F(Batch, AnUnreadableSourceFolderIsPromptedAndRetried) {
    fs.FailPath(FsOp::ListFolder, R"(C:\Docs\Photos\2020)", err::kAccessDenied);
    prompt.Then(PromptAnswer::Retry);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFolderReadError, R"(C:\Docs\Photos\2020)",
                                             fs.ErrorText(err::kAccessDenied)));
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\Photos\2020\c.jpg)", R"(C:\Docs\Photos\2020\c.jpg)"));
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\Photos\a.jpg)", R"(C:\Docs\Photos\a.jpg)"));
}

TEST_F(Batch, ShortAndFolderlessPatternsResolveInTheSourceFolder) {
    fs.AddFolder(R"(C:\Out)");
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)"}, R"(..\Out\*.*)"), BatchOutcome::Completed);
    EXPECT_TRUE(fs.SameFile(R"(C:\Out\report.txt)", R"(C:\Docs\report.txt)"));
}

// Which kind every folder of the selected tree gets at each depth (selected folder = level 1).
struct DepthCase {
    int depth;
    const char* photos;  // mirror / junction
    const char* y2020;   // mirror / junction / inside (within a junction, not made)
    const char* summer;
    std::uint64_t hardLinks, junctions, folders;
};

TEST_F(Batch, RecursionDepthTable) {
    const DepthCase cases[] = {
        {0, "junction", "inside", "inside", 0, 1, 0},  {1, "mirror", "junction", "inside", 2, 2, 1},
        {2, "mirror", "mirror", "junction", 3, 1, 3},  {3, "mirror", "mirror", "mirror", 4, 0, 4},
        {1000, "mirror", "mirror", "mirror", 4, 0, 4}, {-1, "mirror", "mirror", "mirror", 4, 0, 4},
        {-7, "mirror", "mirror", "mirror", 4, 0, 4},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE("depth " + std::to_string(c.depth));
        const std::string target = R"(D:\Depth)" + std::to_string(c.depth);
        fs.AddFolder(target);
        ASSERT_EQ(Run({R"(C:\Docs\Photos\)"}, target, c.depth), BatchOutcome::Completed);
        EXPECT_EQ(result.hardLinks, c.hardLinks);
        EXPECT_EQ(result.junctions, c.junctions);
        EXPECT_EQ(result.folders, c.folders);
        // "inside": reached only through a junction above it, so not made by the batch.
        const auto kind = [&](const std::string& rel) -> std::string {
            std::size_t cut = rel.find('\\');
            while (cut != std::string::npos) {
                if (fs.IsJunction(target + "\\" + rel.substr(0, cut))) {
                    return "inside";
                }
                cut = rel.find('\\', cut + 1);
            }
            const std::string path = target + "\\" + rel;
            if (fs.IsJunction(path)) {
                return "junction";
            }
            return fs.IsFolder(path) ? "mirror" : "missing";
        };
        EXPECT_EQ(kind("Photos"), c.photos);
        EXPECT_EQ(kind(R"(Photos\2020)"), c.y2020);
        EXPECT_EQ(kind(R"(Photos\2020\Summer)"), c.summer);
        if (c.depth == 0) {
            EXPECT_EQ(fs.JunctionTarget(target + R"(\Photos)"), R"(C:\Docs\Photos)");
            EXPECT_EQ(fs.JunctionData(target + R"(\Photos)"),
                      BuildMountPointBuffer(u"\\??\\C:\\Docs\\Photos"));
            continue;
        }
        EXPECT_TRUE(fs.SameFile(target + R"(\Photos\a.jpg)", R"(C:\Docs\Photos\a.jpg)"));
        EXPECT_TRUE(fs.IsFolder(target + R"(\Photos\Empty)") || c.depth == 1);
        if (std::string(c.y2020) == "junction") {
            EXPECT_EQ(fs.JunctionTarget(target + R"(\Photos\2020)"), R"(C:\Docs\Photos\2020)");
        }
        if (std::string(c.summer) == "mirror") {
            EXPECT_TRUE(fs.SameFile(target + R"(\Photos\2020\Summer\d.jpg)",
                                    R"(C:\Docs\Photos\2020\Summer\d.jpg)"));
        }
    }
    // A full mirror is the source tree again, file for file.
    EXPECT_EQ(fs.Describe(R"(D:\Depth-1\Photos)"), fs.Describe(R"(C:\Docs\Photos)"));
    EXPECT_EQ(fs.Describe(R"(D:\Depth-7\Photos)"), fs.Describe(R"(C:\Docs\Photos)"));
    EXPECT_TRUE(prompt.Messages().empty());
}

// A batch made again finds what it made in place: no prompt, nothing made twice, only what
// is new is linked. The names are looked at only when the system says they are taken, so
// the first run does not look at all.
TEST_F(Batch, ABatchMadeAgainFindsItsLinksInPlace) {
    struct Case {
        std::vector<std::string> entries;
        int depth;
        bool newFile;  // a file arrives in Photos between the runs
        std::uint64_t hardLinks, junctions, inPlace;
    };
    const Case cases[] = {
        {{R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, 0, false, 0, 0, 2},
        {{R"(C:\Docs\Photos\)"}, 0, false, 0, 0, 1},
        {{R"(C:\Docs\Photos\)"}, 1, false, 0, 0, 4},  // a.jpg, b.jpg; junctions 2020, Empty
        {{R"(C:\Docs\Photos\)"}, -1, true, 1, 0, 4},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("depth " + std::to_string(c.depth));
        const std::string target = R"(D:\Again)" + std::to_string(++n) + "\\";
        fs.AddFolder(target);
        fs.ClearLog();
        ASSERT_EQ(Run(c.entries, target, c.depth), BatchOutcome::Completed);
        EXPECT_EQ(fs.CallCount(FsOp::Inspect), 0u);
        if (c.newFile) {
            fs.AddFile(R"(C:\Docs\Photos\2020\new.jpg)", "new");
            sourceBefore = fs.Describe(sourceRoot);
        }
        ASSERT_EQ(Run(c.entries, target, c.depth), BatchOutcome::Completed);
        EXPECT_EQ(result.hardLinks, c.hardLinks);
        EXPECT_EQ(result.junctions, c.junctions);
        EXPECT_EQ(result.folders, 0u);
        EXPECT_EQ(result.alreadyInPlace, c.inPlace);
        EXPECT_EQ(result.skipped, 0u);
    }
    EXPECT_TRUE(fs.SameFile(R"(D:\Again4\Photos\2020\new.jpg)", R"(C:\Docs\Photos\2020\new.jpg)"));
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(Batch, AnExistingFolderAtTheMirrorsNameIsUsedAsItIs) {
    fs.AddFile(R"(D:\Links\Photos\mine.txt)", "mine");
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", 1), BatchOutcome::Completed);
    EXPECT_EQ(fs.Contents(R"(D:\Links\Photos\mine.txt)"), "mine");
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\Photos\a.jpg)", R"(C:\Docs\Photos\a.jpg)"));
}

TEST_F(Batch, AFileAtTheMirrorsNameIsOneFolderFailure) {
    fs.AddFile(R"(D:\Links\Photos)", "in the way");
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0],
              Expected(txt::kFolderError, R"(D:\Links\Photos)", fs.ErrorText(err::kAlreadyExists)));
    EXPECT_EQ(fs.Contents(R"(D:\Links\Photos)"), "in the way");
    EXPECT_EQ(fs.CallCount(FsOp::CreateHardLink), 0u);
}

// --- hard-link failures -------------------------------------------------------------

TEST_F(Batch, HardLinkFailureSkip) {
    fs.AddFile(R"(D:\Links\report.txt)", "older");
    prompt.Then(PromptAnswer::Skip);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links)"),
              BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFileLinkError, R"(C:\Docs\report.txt)",
                                             fs.ErrorText(err::kAlreadyExists)));
    EXPECT_EQ(fs.Contents(R"(D:\Links\report.txt)"), "older");
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\notes.txt)", R"(C:\Docs\notes.txt)"));
    EXPECT_EQ(result.skippedNames, std::vector<std::string>{R"(C:\Docs\report.txt)"});
}

TEST_F(Batch, EverySkippedStepIsCountedAndTheFirstTenAreNamed) {
    std::vector<std::string> entries;
    for (int i = 0; i < 12; ++i) entries.push_back(R"(C:\Docs\gone)" + std::to_string(i));
    prompt.Then(PromptAnswer::SkipAll);
    EXPECT_EQ(Run(entries, R"(D:\Links)"), BatchOutcome::Completed);
    EXPECT_EQ(result.skipped, 12u);
    EXPECT_EQ(result.skippedNames, std::vector<std::string>(entries.begin(), entries.begin() + 10));
}

TEST_F(Batch, HardLinkFailureRetryComposesTheNameAgain) {
    fs.FailPath(FsOp::CreateHardLink, R"(D:\Links\report.txt)", err::kAccessDenied);
    prompt.Then(PromptAnswer::Retry);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)"}, R"(D:\Links\)"), BatchOutcome::Completed);
    EXPECT_EQ(prompt.Messages().size(), 1u);
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\report.txt)", R"(C:\Docs\report.txt)"));
    // The source's folder is made current for each composition of the name.
    EXPECT_EQ(fs.CallCount(FsOp::SetCurrentFolder), 2u);
    EXPECT_EQ(fs.CallCount(FsOp::CreateHardLink), 2u);
}

TEST_F(Batch, HardLinkFailureSkipAllSilencesLaterHardLinkFailuresOnly) {
    fs.FailCall(FsOp::CreateHardLink, 0, err::kDiskFull, true);
    fs.SetJunctionsSupported(false);
    prompt.Then(PromptAnswer::SkipAll);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)", R"(C:\Docs\Photos\)"},
                  R"(D:\Links)", 1),
              BatchOutcome::Completed);
    // The calls are still made; only the prompt is left out. The junctions still ask.
    EXPECT_EQ(fs.CallCount(FsOp::CreateHardLink), 4u);
    ASSERT_EQ(prompt.Messages().size(), 3u);
    EXPECT_EQ(prompt.Messages()[1], Expected(txt::kFolderLinkError, R"(D:\Links\Photos\2020)",
                                             fs.ErrorText(err::kNotSupported)));
    EXPECT_EQ(prompt.Messages()[2], Expected(txt::kFolderLinkError, R"(D:\Links\Photos\Empty)",
                                             fs.ErrorText(err::kNotSupported)));
}

TEST_F(Batch, HardLinkFailureInsideAMirrorNamesTheSourceFile) {
    fs.FailPath(FsOp::CreateHardLink, R"(D:\Links\Photos\b.jpg)", err::kTooManyLinks);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFileLinkError, R"(C:\Docs\Photos\b.jpg)",
                                             fs.ErrorText(err::kTooManyLinks)));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Photos\b.jpg)"));
    EXPECT_TRUE(
        fs.SameFile(R"(D:\Links\Photos\2020\Summer\d.jpg)", R"(C:\Docs\Photos\2020\Summer\d.jpg)"));
}

TEST_F(Batch, HardLinkFailureCancel) {
    fs.FailPath(FsOp::CreateHardLink, R"(D:\Links\report.txt)", err::kAccessDenied);
    prompt.Then(PromptAnswer::Cancel);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links)"),
              BatchOutcome::Cancelled);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(fs.CountEntries(R"(D:\Links)"), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::CreateHardLink), 1u);
}

TEST_F(Batch, TheLinkLimitIsReportedAndNothingIsLost) {
    fs.SetLinkLimit(2);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)"}, R"(D:\Links\one.txt)"), BatchOutcome::Completed);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)"}, R"(D:\Links\two.txt)"), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFileLinkError, R"(C:\Docs\report.txt)",
                                             fs.ErrorText(err::kTooManyLinks)));
    EXPECT_EQ(fs.LinkCount(R"(C:\Docs\report.txt)"), 2);
}

TEST_F(Batch, AnotherVolumeIsReported) {
    fs.AddFolder(R"(E:\Other)");
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)"}, R"(E:\Other)"), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_NE(prompt.Messages()[0].find("C:, а цель — на E:"), std::string::npos);
}

// --- junction failures ----------------------------------------------------------------

TEST_F(Batch, JunctionFailureRemovesOnlyTheFolderItMade) {
    fs.SetJunctionsSupported(false);
    fs.AddFolder(R"(D:\Links\Existing)");
    fs.AddFolder(R"(C:\Docs\Existing)");
    sourceBefore = fs.Describe(sourceRoot);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Docs\Existing\)"}, R"(D:\Links)", 0),
              BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 2u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFolderLinkError, R"(D:\Links\Photos)",
                                             fs.ErrorText(err::kNotSupported)));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Photos)"));
    EXPECT_TRUE(fs.IsFolder(R"(D:\Links\Existing)"));
    EXPECT_EQ(fs.Removals(), std::vector<std::string>{R"(D:\Links\Photos)"});
}

TEST_F(Batch, JunctionFailureRetryThenSkipAll) {
    fs.SetJunctionsSupported(false);
    fs.AddFolder(R"(C:\Docs\More)");
    sourceBefore = fs.Describe(sourceRoot);
    prompt.Then(PromptAnswer::Retry);
    prompt.Then(PromptAnswer::SkipAll);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Docs\More\)"}, R"(D:\Links)", 0),
              BatchOutcome::Completed);
    EXPECT_EQ(prompt.Messages().size(), 2u);
    EXPECT_EQ(fs.CallCount(FsOp::SetMountPoint), 3u);
    EXPECT_EQ(result.skippedNames,
              (std::vector<std::string>{R"(D:\Links\Photos)", R"(D:\Links\More)"}));
}

TEST_F(Batch, JunctionFailureCancel) {
    fs.SetJunctionsSupported(false);
    prompt.Then(PromptAnswer::Cancel);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Docs\report.txt)"}, R"(D:\Links)", 0),
              BatchOutcome::Cancelled);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Photos)"));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\report.txt)"));
}

TEST_F(Batch, AJunctionOnAnExistingFolderThatHoldsFilesFailsAndKeepsThem) {
    fs.AddFile(R"(D:\Links\Photos\keep.txt)", "keep");
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", 0), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(fs.Contents(R"(D:\Links\Photos\keep.txt)"), "keep");
    EXPECT_TRUE(fs.Removals().empty());
}

// --- mirror-folder failures -----------------------------------------------------------

TEST_F(Batch, FolderFailureSkipPassesOverEverythingBelow) {
    fs.FailPath(FsOp::CreateFolder, R"(D:\Links\Photos\2020)", err::kAccessDenied);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFolderError, R"(D:\Links\Photos\2020)",
                                             fs.ErrorText(err::kAccessDenied)));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Photos\2020)"));
    for (const test::FsCall& call : fs.Calls()) {
        EXPECT_FALSE(call.path2.rfind(R"(C:\Docs\Photos\2020\)", 0) == 0)
            << "linked below a skipped folder: " << call.path2;
    }
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\Photos\a.jpg)", R"(C:\Docs\Photos\a.jpg)"));
    EXPECT_TRUE(fs.IsFolder(R"(D:\Links\Photos\Empty)"));
}

TEST_F(Batch, FolderFailureRetryCreatesTheSameFolderAgain) {
    fs.FailPath(FsOp::CreateFolder, R"(D:\Links\Photos)", err::kAccessDenied);
    prompt.Then(PromptAnswer::Retry);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    EXPECT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(fs.Describe(R"(D:\Links\Photos)"), fs.Describe(R"(C:\Docs\Photos)"));
}

TEST_F(Batch, FolderFailureSkipAllIsIndependentOfTheOtherFlags) {
    fs.FailCall(FsOp::CreateFolder, 0, err::kDiskFull, true);
    fs.AddFile(R"(D:\Links\report.txt)", "older");
    prompt.Then(PromptAnswer::SkipAll);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Docs\Photos\2020\)", R"(C:\Docs\report.txt)"},
                  R"(D:\Links)", 2),
              BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 2u);  // the folder, then the hard link
    EXPECT_EQ(prompt.Messages()[1], Expected(txt::kFileLinkError, R"(C:\Docs\report.txt)",
                                             fs.ErrorText(err::kAlreadyExists)));
    EXPECT_EQ(fs.CallCount(FsOp::CreateFolder), 2u);
}

// A folder that cannot be read is a kind of its own: its Skip all leaves the prompt for a
// folder that cannot be made.
TEST_F(Batch, AnUnreadableFolderHasASkipAllOfItsOwn) {
    fs.FailPath(FsOp::ListFolder, R"(C:\Docs\Photos\2020)", err::kAccessDenied, true);
    fs.FailPath(FsOp::CreateFolder, R"(D:\Links\Photos\Empty)", err::kDiskFull);
    prompt.Then(PromptAnswer::SkipAll);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 2u);
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFolderReadError, R"(C:\Docs\Photos\2020)",
                                             fs.ErrorText(err::kAccessDenied)));
    EXPECT_EQ(prompt.Messages()[1], Expected(txt::kFolderError, R"(D:\Links\Photos\Empty)",
                                             fs.ErrorText(err::kDiskFull)));
}

TEST_F(Batch, FolderFailureCancel) {
    fs.FailPath(FsOp::CreateFolder, R"(D:\Links\Photos\2020)", err::kDiskFull);
    prompt.Then(PromptAnswer::Cancel);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Docs\report.txt)"}, R"(D:\Links)", -1),
              BatchOutcome::Cancelled);
    EXPECT_EQ(prompt.Messages().size(), 1u);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(fs.Calls().back().op, FsOp::CreateFolder);
    EXPECT_TRUE(fs.IsFolder(R"(D:\Links\Photos)"));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Photos\a.jpg)"));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\report.txt)"));
}

// --- Cancel, the observer, other failures ----------------------------------------------

TEST_F(Batch, CancelDeepInsideAMirrorStopsEverythingAndUndoesNothing) {
    fs.FailPath(FsOp::CreateHardLink, R"(D:\Links\Photos\2020\Summer\d.jpg)", err::kAccessDenied);
    prompt.Then(PromptAnswer::Cancel);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Docs\report.txt)"}, R"(D:\Links)", -1),
              BatchOutcome::Cancelled);
    EXPECT_EQ(prompt.Messages().size(), 1u);
    EXPECT_TRUE(messages.Shown().empty());
    ASSERT_FALSE(fs.Calls().empty());
    EXPECT_EQ(fs.Calls().back().op, FsOp::CreateHardLink) << "something was done after Cancel";
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\Photos\2020\c.jpg)", R"(C:\Docs\Photos\2020\c.jpg)"));
    EXPECT_TRUE(fs.IsFolder(R"(D:\Links\Photos\2020\Summer)"));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\report.txt)"));
    EXPECT_TRUE(fs.Removals().empty());
}

class StopAfter : public IBatchObserver {
public:
    explicit StopAfter(std::uint64_t links) : m_limit(links) {}
    bool OnProgress(const BatchProgress& progress) override {
        ++calls;
        lastLinks = progress.links;
        lastFolders = progress.folders;
        return progress.links < m_limit;
    }
    int calls = 0;
    std::uint64_t lastLinks = 0;
    std::uint64_t lastFolders = 0;

private:
    std::uint64_t m_limit;
};

TEST_F(Batch, TheObserverSeesProgressAndCanStopTheBatch) {
    StopAfter observer(3);
    LinkBatch observed(fs, prompt, messages, texts, &observer);
    EXPECT_EQ(
        observed.Run({R"(C:\Docs\Photos\)", R"(C:\Docs\report.txt)"}, R"(D:\Links)", -1).outcome,
        BatchOutcome::Cancelled);
    EXPECT_EQ(observer.lastLinks, 3u);
    EXPECT_GE(observer.lastFolders, 1u);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_FALSE(fs.Exists(R"(D:\Links\report.txt)"));

    StopAfter patient(1000);
    LinkBatch complete(fs, prompt, messages, texts, &patient);
    fs.AddFolder(R"(D:\All)");
    EXPECT_EQ(complete.Run({R"(C:\Docs\Photos\)"}, R"(D:\All)", -1).outcome,
              BatchOutcome::Completed);
    EXPECT_EQ(patient.lastLinks, 4u);
    EXPECT_EQ(patient.lastFolders, 4u);
}

// A prompt that fails, or answers with none of its answers, ends the batch as failed.
TEST_F(Batch, AnyOtherFailureEndsWithTheUnknownErrorMessage) {
    fs.FailPath(FsOp::CreateHardLink, R"(D:\Links\report.txt)", err::kAccessDenied, true);
    prompt.Then(static_cast<PromptAnswer>(7));
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links)"),
              BatchOutcome::Failed);
    prompt.BeforeAnswer([](const std::string&) { throw std::runtime_error("no memory"); });
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\notes.txt)"}, R"(D:\Links)"),
              BatchOutcome::Failed);
    EXPECT_EQ(messages.Shown(), std::vector<std::string>(2, Text(txt::kUnknownError)));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\notes.txt)"));
}

TEST_F(Batch, LanguageTextsAreUsedOnlyWhenTheyFitTheFormat) {
    texts.SetTable({{txt::kFileLinkError, "Cannot link %s"},
                    {txt::kFolderLinkError, "%d%s%s%n"},
                    {txt::kFolderError, "%s %s"}});
    fs.SetJunctionsSupported(false);
    fs.AddFile(R"(D:\Links\report.txt)", "older");
    fs.FailPath(FsOp::CreateFolder, R"(D:\Links\Photos)", err::kAccessDenied);
    prompt.Then(PromptAnswer::Skip);
    prompt.Then(PromptAnswer::Retry);
    EXPECT_EQ(Run({R"(C:\Docs\report.txt)", R"(C:\Docs\Photos\)", R"(C:\Docs\Photos\2020\)"},
                  R"(D:\Links)", 1),
              BatchOutcome::Completed);
    ASSERT_GE(prompt.Messages().size(), 3u);
    EXPECT_EQ(prompt.Messages()[0],
              "Cannot link C:\\Docs\\report.txt\n" + fs.ErrorText(err::kAlreadyExists));
    EXPECT_EQ(prompt.Messages()[1],
              Expected(txt::kFolderError, R"(D:\Links\Photos)", fs.ErrorText(err::kAccessDenied)));
    EXPECT_EQ(prompt.Messages()[2], Expected(txt::kFolderLinkError, R"(D:\Links\Photos\2020)",
                                             fs.ErrorText(err::kNotSupported)));
}

// --- cycles and a target inside the source ----------------------------------------------

TEST_F(Batch, AJunctionBackIntoTheTreeIsPassedOver) {
    fs.AddJunction(R"(C:\Docs\Photos\2020\Loop)", R"(C:\Docs\Photos)");
    fs.AddJunction(R"(C:\Docs\Photos\Up)", R"(C:\Docs)");
    sourceBefore = fs.Describe(sourceRoot);
    for (const int depth : {-1, 60}) {
        const std::string target = R"(D:\Cycle)" + std::to_string(depth);
        fs.AddFolder(target);
        ASSERT_EQ(Run({R"(C:\Docs\Photos\)"}, target, depth), BatchOutcome::Completed);
        EXPECT_TRUE(prompt.Messages().empty());
        EXPECT_TRUE(fs.IsFolder(target + R"(\Photos\2020\Summer)"));
        EXPECT_FALSE(fs.Exists(target + R"(\Photos\2020\Loop)"));
        // Up leads to a folder that is not on the path: it is mirrored once, and the way back
        // down into Photos is not taken again.
        EXPECT_TRUE(fs.SameFile(target + R"(\Photos\Up\report.txt)", R"(C:\Docs\report.txt)"));
        EXPECT_FALSE(fs.Exists(target + R"(\Photos\Up\Photos)"));
    }
}

// A junction in a source that leads into the target never makes a mirror folder a source:
// neither the earlier entry's mirror nor the one being made is mirrored again.
TEST_F(Batch, AMirrorFolderIsNeverMirroredAgain) {
    fs.AddJunction(R"(C:\Other\j)", R"(D:\Links)");
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)", R"(C:\Other\)"}, R"(D:\Links)", -1),
              BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_TRUE(fs.IsFolder(R"(D:\Links\Other\j)"));
    EXPECT_EQ(fs.CountEntries(R"(D:\Links\Other\j)"), 0u);
}

// A mirror makes every name it finds exactly: "a.txt " beside "a.txt" and a folder "d."
// beside "d" are entries of their own, never their neighbours.
TEST_F(Batch, AMirrorKeepsNamesThatEndWithDotsOrBlanks) {
    fs.AddFile(R"(C:\Docs\Twins\a.txt)", "plain");
    fs.AddFile("C:\\Docs\\Twins\\a.txt ", "blank");
    fs.AddFile(R"(C:\Docs\Twins\d.\x.txt)", "dotted");
    fs.AddFile(R"(C:\Docs\Twins\d\y.txt)", "plain folder");
    sourceBefore = fs.Describe(sourceRoot);
    EXPECT_EQ(Run({R"(C:\Docs\Twins\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_EQ(result.hardLinks, 4u);
    EXPECT_EQ(result.alreadyInPlace, 0u);
    for (const char* name : {"a.txt", "a.txt ", R"(d.\x.txt)", R"(d\y.txt)"}) {
        EXPECT_TRUE(fs.SameFile(std::string(R"(D:\Links\Twins\)") + name,
                                std::string(R"(C:\Docs\Twins\)") + name))
            << name;
    }
}

// Hard links cannot leave their volume, nor go onto one that holds none: one prompt for
// the entry, with both drives named, before anything is made. Junctions may cross.
TEST_F(Batch, HardLinksDoNotLeaveTheirVolume) {
    fs.AddFolder(R"(E:\Other)");
    fs.SetNoHardLinks("F:");
    fs.AddFolder(R"(F:\Stick)");
    struct Case {
        const char* entry;
        const char* target;
        int depth;
        TextId kind;
        const char* shown;
        std::string reason;
    };
    const auto reason = [&](TextId id, const char* a, const char* b) {
        std::string text = Text(id);
        text.replace(text.find("%s"), 2, a);
        if (text.find("%s") != std::string::npos) text.replace(text.find("%s"), 2, b);
        return text;
    };
    const Case cases[] = {
        {R"(C:\Docs\report.txt)", R"(E:\Other)", 0, txt::kFileLinkError, R"(C:\Docs\report.txt)",
         reason(txt::kHardLinkOtherVolume, "C:", "E:")},
        {R"(C:\Docs\Photos\)", R"(E:\Other)", -1, txt::kFolderError, R"(E:\Other\Photos)",
         reason(txt::kHardLinkOtherVolume, "C:", "E:")},
        {R"(C:\Docs\report.txt)", R"(E:\New\)", 0, txt::kFileLinkError, R"(C:\Docs\report.txt)",
         reason(txt::kHardLinkOtherVolume, "C:", "E:")},
        {R"(F:\Stick\x.txt)", R"(F:\Stick\Copies\)", 0, txt::kFileLinkError, R"(F:\Stick\x.txt)",
         reason(txt::kNoHardLinksOnVolume, "F:", "")},
        {R"(F:\Stick\)", R"(F:\Other)", 1, txt::kFolderError, R"(F:\Other\Stick)",
         reason(txt::kNoHardLinksOnVolume, "F:", "")},
    };
    fs.AddFile(R"(F:\Stick\x.txt)", "x");
    fs.AddFolder(R"(F:\Stick\Copies)");
    fs.AddFolder(R"(F:\Other)");
    const std::string before = fs.Describe("E:\\") + fs.Describe("F:\\");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " into " + c.target);
        const std::size_t asked = prompt.Messages().size();
        ASSERT_EQ(Run({c.entry}, c.target, c.depth), BatchOutcome::Completed);
        ASSERT_EQ(prompt.Messages().size(), asked + 1);
        EXPECT_EQ(prompt.Messages().back(), Expected(c.kind, c.shown, c.reason));
    }
    EXPECT_EQ(fs.Describe("E:\\") + fs.Describe("F:\\"), before);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(E:\Other)", 0), BatchOutcome::Completed);
    EXPECT_TRUE(fs.IsJunction(R"(E:\Other\Photos)"));
}

// Where only the link call can tell (a junction in the source leads to another volume), the
// mirror ends at the first "not same device" with one prompt, and the folders it made that
// are still empty go again.
TEST_F(Batch, AMirrorThatMeetsAnotherVolumeEndsThereAndLeavesNoEmptyFolder) {
    fs.AddFile(R"(E:\Pics\p.jpg)", "p");
    fs.AddFile(R"(C:\Mix\a.txt)", "a");
    fs.AddJunction(R"(C:\Mix\ext)", R"(E:\Pics)");
    sourceRoot = R"(C:\Mix)";
    sourceBefore = fs.Describe(sourceRoot);
    EXPECT_EQ(Run({R"(C:\Mix\)"}, R"(D:\Links)", -1), BatchOutcome::Completed);
    ASSERT_EQ(prompt.Messages().size(), 1u);
    std::string reason = Text(txt::kHardLinkOtherVolume);
    reason.replace(reason.find("%s"), 2, "E:");
    reason.replace(reason.find("%s"), 2, "D:");
    EXPECT_EQ(prompt.Messages()[0], Expected(txt::kFolderError, R"(D:\Links\Mix)", reason));
    EXPECT_TRUE(fs.SameFile(R"(D:\Links\Mix\a.txt)", R"(C:\Mix\a.txt)"));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Mix\ext)"));
    EXPECT_EQ(result.folders, 1u);
    EXPECT_EQ(result.skipped, 1u);
}

// A link name that cannot be made full (the full-path step fails for a root-relative target,
// and no folder above it can be told) ends the checks above it at its top ("\\") instead of
// climbing for ever.
TEST_F(Batch, ANameThatStaysRelativeEndsTheChecksAtItsTop) {
    fs.FailCall(FsOp::FullPath, 0, err::kAccessDenied, true);
    fs.FailCall(FsOp::FinalPath, 0, err::kAccessDenied, true);
    fs.FailCall(FsOp::VolumeOf, 0, err::kAccessDenied, true);
    EXPECT_EQ(Run({R"(C:\Docs\Photos\)"}, R"(\Links\)", 1), BatchOutcome::Completed);
    EXPECT_LE(prompt.Messages().size(), 1u);
}

// Identities compare the volume too: a folder on another volume with the same index as the
// source is no source, and a junction may be set on it.
TEST(BatchVolumes, EqualIndexesOnTwoVolumesAreTwoFolders) {
    MemoryFileSystem fs;
    fs.AddFolder(R"(C:\Docs)");
    fs.AddFolder(R"(E:\Docs)");
    ASSERT_EQ(fs.Inspect(R"(C:\Docs)")->id.index, fs.Inspect(R"(E:\Docs)")->id.index);
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    EXPECT_EQ(batch.Run({R"(C:\Docs\)"}, R"(E:\)", 0).junctions, 1u);
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_TRUE(fs.IsJunction(R"(E:\Docs)"));
}

TEST(BatchPosixPaths, TheEngineFollowsTheFileSystemsSeparator) {
    MemoryFileSystem fs('/');
    fs.AddFile("/home/u/docs/a.txt", "a");
    fs.AddFile("/home/u/docs/sub/b.txt", "b");
    fs.AddFile("/home/u/README", "readme");
    fs.AddFolder("/links");
    fs.SetCurrent("/home/u");
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    EXPECT_EQ(batch.Run({"/home/u/docs/", "/home/u/README"}, "/links", -1).outcome,
              BatchOutcome::Completed);
    EXPECT_EQ(fs.Describe("/links/docs"), fs.Describe("/home/u/docs"));
    EXPECT_TRUE(fs.SameFile("/links/README", "/home/u/README"));
    EXPECT_TRUE(prompt.Messages().empty());
}

}  // namespace
}  // namespace velmora
