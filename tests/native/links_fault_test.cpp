// Every file-system call of one batch made to fail in turn, with every kind of error and
// every answer of the prompt. What each failure must lead to is written down call by call
// in a table; the sweep checks each run against it. The source never changes, and nothing
// is removed but a folder the junction step itself made.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "links/batch.h"
#include "support/memory_fs.h"
#include "support/scripted_prompt.h"

namespace velmora {
namespace {

using test::FsOp;
using test::MemoryFileSystem;

// A file entry and a folder entry at depth 3: mirrors, hard links, a junction (Beach, at the
// fourth level) and a junction in the source that leads back up the tree (back).
const std::vector<std::string> kEntries = {R"(C:\Docs\report.txt)", R"(C:\Docs\Photos\)"};
constexpr int kDepth = 3;

void BuildTree(MemoryFileSystem& fs) {
    fs.ShareVolume("D:", "C:");
    fs.AddFile(R"(C:\Docs\report.txt)", "report");
    fs.AddFile(R"(C:\Docs\Photos\a.jpg)", "a");
    fs.AddFile(R"(C:\Docs\Photos\2020\c.jpg)", "c");
    fs.AddJunction(R"(C:\Docs\Photos\2020\back)", R"(C:\Docs\Photos)");
    fs.AddFile(R"(C:\Docs\Photos\2020\Summer\d.jpg)", "d");
    fs.AddFolder(R"(C:\Docs\Photos\2020\Summer\Beach)");
    fs.AddFolder(R"(D:\Links)");
    fs.SetCurrent(R"(C:\Program)");
}

enum class After {
    Refused,  // the target no longer counts as a folder: one name for two entries
    Prompt,   // the prompt `text`; Skip loses `name` and all below it, Retry loses nothing
    Same,     // no prompt, and the same links as without the failure
    More,     // no prompt; the cycle guard is blind once, so `name` is mirrored once more
};

struct Expected {
    FsOp op;
    const char* path;
    After after;
    TextId text = 0;
    const char* name = "";  // below D:\Links
};

// Every call of the batch without faults, by operation and name; a name called twice has
// two rows, the first for its first call. The order of the rows is the order of the calls,
// but the sweep does not depend on it.
const Expected kTable[] = {
    {FsOp::SetCurrentFolder, R"(D:\Links)", After::Refused},
    // The file entry: the name is composed in the source's folder, and the volumes of the
    // source's and the target's folders are compared before the link is made (a volume
    // that cannot be read is asked of the folder above).
    {FsOp::SetCurrentFolder, R"(C:\Docs\)", After::Same},
    {FsOp::VolumeOf, R"(C:\Docs)", After::Same},
    {FsOp::VolumeOf, R"(D:\Links)", After::Same},
    {FsOp::CreateHardLink, R"(D:\Links\report.txt)", After::Prompt, txt::kFileLinkError,
     "report.txt"},
    {FsOp::SetCurrentFolder, R"(C:\Docs\)", After::Same},
    // Is the mirror folder its source, or inside it? The source's identity, then those of
    // the mirror folder and the folders above it as they really are; then the volumes.
    {FsOp::FolderIdentity, R"(C:\Docs\Photos)", After::Same},
    {FsOp::FinalPath, R"(D:\Links\Photos)", After::Same},
    {FsOp::FolderIdentity, R"(D:\Links\Photos)", After::Same},
    {FsOp::FinalPath, R"(D:\Links)", After::Same},
    {FsOp::FolderIdentity, R"(D:\Links)", After::Same},
    {FsOp::FolderIdentity, R"(D:\)", After::Same},
    {FsOp::VolumeOf, R"(C:\Docs\Photos)", After::Same},
    {FsOp::VolumeOf, R"(D:\Links\Photos)", After::Same},
    {FsOp::VolumeOf, R"(D:\Links)", After::Same},
    {FsOp::FolderIdentity, R"(C:\Docs\Photos)", After::More, 0, R"(Photos\2020\back)"},
    {FsOp::ListFolder, R"(C:\Docs\Photos)", After::Prompt, txt::kFolderReadError, "Photos"},
    {FsOp::CreateFolder, R"(D:\Links\Photos)", After::Prompt, txt::kFolderError, "Photos"},
    {FsOp::FolderIdentity, R"(D:\Links\Photos)", After::Same},
    {FsOp::FolderIdentity, R"(C:\Docs\Photos\2020)", After::Same},
    {FsOp::ListFolder, R"(C:\Docs\Photos\2020)", After::Prompt, txt::kFolderReadError,
     R"(Photos\2020)"},
    {FsOp::CreateFolder, R"(D:\Links\Photos\2020)", After::Prompt, txt::kFolderError,
     R"(Photos\2020)"},
    {FsOp::FolderIdentity, R"(D:\Links\Photos\2020)", After::Same},
    {FsOp::FolderIdentity, R"(C:\Docs\Photos\2020\back)", After::More, 0, R"(Photos\2020\back)"},
    {FsOp::CreateHardLink, R"(D:\Links\Photos\2020\c.jpg)", After::Prompt, txt::kFileLinkError,
     R"(Photos\2020\c.jpg)"},
    {FsOp::FolderIdentity, R"(C:\Docs\Photos\2020\Summer)", After::Same},
    {FsOp::ListFolder, R"(C:\Docs\Photos\2020\Summer)", After::Prompt, txt::kFolderReadError,
     R"(Photos\2020\Summer)"},
    {FsOp::CreateFolder, R"(D:\Links\Photos\2020\Summer)", After::Prompt, txt::kFolderError,
     R"(Photos\2020\Summer)"},
    {FsOp::FolderIdentity, R"(D:\Links\Photos\2020\Summer)", After::Same},
    // The junction's source must be a folder; the step that makes its folder; the junction.
    {FsOp::FolderIdentity, R"(C:\Docs\Photos\2020\Summer\Beach)", After::Prompt,
     txt::kFolderLinkError, R"(Photos\2020\Summer\Beach)"},
    {FsOp::CreateFolder, R"(D:\Links\Photos\2020\Summer\Beach)", After::Prompt,
     txt::kFolderLinkError, R"(Photos\2020\Summer\Beach)"},
    {FsOp::SetMountPoint, R"(D:\Links\Photos\2020\Summer\Beach)", After::Prompt,
     txt::kFolderLinkError, R"(Photos\2020\Summer\Beach)"},
    {FsOp::CreateHardLink, R"(D:\Links\Photos\2020\Summer\d.jpg)", After::Prompt,
     txt::kFileLinkError, R"(Photos\2020\Summer\d.jpg)"},
    {FsOp::CreateHardLink, R"(D:\Links\Photos\a.jpg)", After::Prompt, txt::kFileLinkError,
     R"(Photos\a.jpg)"},
};

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.insert(line);
    }
    return lines;
}

bool Below(const std::string& line, const std::string& name) {
    return line.compare(0, name.size(), name) == 0 &&
           (line.size() == name.size() || line[name.size()] == '\\' || line[name.size()] == '|');
}

TEST(FaultSweep, EveryCallFailingInTurnEndsAsTheTableSays) {
    MemoryFileSystem cleanFs;
    BuildTree(cleanFs);
    const std::string source = cleanFs.Describe(R"(C:\Docs)");
    {
        test::ScriptedPrompt prompt;
        test::MessageRecorder messages;
        TextCatalog texts;
        LinkBatch batch(cleanFs, prompt, messages, texts);
        ASSERT_EQ(batch.Run(kEntries, R"(D:\Links)", kDepth).outcome, BatchOutcome::Completed);
    }
    const std::set<std::string> clean = Lines(cleanFs.Describe(R"(D:\Links)"));
    std::multiset<std::string> calls;
    for (const test::FsCall& call : cleanFs.Calls()) {
        calls.insert(std::string(test::FsOpName(call.op)) + " " + call.path);
    }
    std::multiset<std::string> rows;
    for (const Expected& row : kTable) {
        rows.insert(std::string(test::FsOpName(row.op)) + " " + row.path);
    }
    ASSERT_EQ(calls, rows) << "the table must list every call of the batch";

    const ErrorCode kinds[] = {err::kAccessDenied, err::kAlreadyExists,      err::kFileNotFound,
                               err::kDiskFull,     err::kFilenameExcedRange, err::kTooManyLinks};
    const PromptAnswer answers[] = {PromptAnswer::Skip, PromptAnswer::SkipAll, PromptAnswer::Retry,
                                    PromptAnswer::Cancel};
    for (std::size_t n = 0; n < std::size(kTable); ++n) {
        const Expected& row = kTable[n];
        for (const ErrorCode kind : kinds) {
            for (const PromptAnswer answer : answers) {
                SCOPED_TRACE(std::string(test::FsOpName(row.op)) + " " + row.path + " (row " +
                             std::to_string(n + 1) + "), error " + std::to_string(kind) +
                             ", answer " + std::to_string(static_cast<int>(answer)));
                // The row's call: the first, second ... call of its operation on its name.
                const auto same = [&](const Expected& other) {
                    return other.op == row.op && std::string_view(other.path) == row.path;
                };
                const auto nth = std::count_if(kTable, kTable + n + 1, same);
                MemoryFileSystem fs;
                BuildTree(fs);
                fs.FailPath(row.op, row.path, kind, false, static_cast<int>(nth));
                // Retry once; should the same step fail again, Skip.
                test::ScriptedPrompt prompt({answer}, PromptAnswer::Skip);
                std::size_t callsAtPrompt = 0;
                prompt.BeforeAnswer([&](const std::string&) { callsAtPrompt = fs.Calls().size(); });
                test::MessageRecorder messages;
                TextCatalog texts;
                LinkBatch batch(fs, prompt, messages, texts);
                const BatchResult result = batch.Run(kEntries, R"(D:\Links)", kDepth);

                ASSERT_EQ(fs.FaultsFired(), 1);
                EXPECT_EQ(fs.Describe(R"(C:\Docs)"), source);
                EXPECT_TRUE(fs.OnlyFoldersItMadeRemoved());
                const std::set<std::string> made = Lines(fs.Describe(R"(D:\Links)"));
                if (row.after == After::Refused) {
                    EXPECT_EQ(result.outcome, BatchOutcome::Refused);
                    EXPECT_TRUE(made.empty());
                    continue;
                }
                EXPECT_TRUE(messages.Shown().empty());
                if (row.after != After::Prompt) {
                    EXPECT_EQ(result.outcome, BatchOutcome::Completed);
                    EXPECT_TRUE(prompt.Messages().empty());
                    EXPECT_EQ(result.skipped, 0u);
                    for (const std::string& line : clean) {
                        EXPECT_TRUE(made.count(line) != 0) << "missing " << line;
                    }
                    for (const std::string& line : made) {
                        EXPECT_TRUE(clean.count(line) != 0 ||
                                    (row.after == After::More && Below(line, row.name)))
                            << "unexpected " << line;
                    }
                    continue;
                }
                ASSERT_EQ(prompt.Messages().size(), 1u);
                const std::string_view text = BuiltinText(row.text);
                EXPECT_EQ(prompt.Messages()[0].substr(0, text.find('\n')),
                          text.substr(0, text.find('\n')));
                for (const std::string& line : made) {
                    EXPECT_TRUE(clean.count(line) != 0) << "unexpected " << line;
                }
                if (answer == PromptAnswer::Cancel) {
                    EXPECT_EQ(result.outcome, BatchOutcome::Cancelled);
                    EXPECT_EQ(fs.Calls().size(), callsAtPrompt) << "a call after Cancel";
                    continue;
                }
                EXPECT_EQ(result.outcome, BatchOutcome::Completed);
                EXPECT_EQ(result.skipped, answer == PromptAnswer::Retry ? 0u : 1u);
                for (const std::string& line : clean) {
                    const bool lost = answer != PromptAnswer::Retry && Below(line, row.name);
                    EXPECT_EQ(made.count(line) == 0, lost) << line;
                }
            }
        }
    }
}

// With the cycle guard blind (no folder's identity can be read) the junction that leads back
// up the tree is followed round and round, until the names pass the system's limit: there
// the walk stops with the system's reason, instead of running on for ever.
TEST(FaultSweep, ABlindCycleGuardStopsAtThePathLimit) {
    MemoryFileSystem fs;
    fs.ShareVolume("D:", "C:");
    const std::string name(200, 'n');
    fs.AddFile(R"(C:\Docs\Photos\a.jpg)", "a");
    fs.AddJunction(R"(C:\Docs\Photos\)" + name, R"(C:\Docs\Photos)");
    fs.AddFolder(R"(D:\Links)");
    fs.FailCall(FsOp::FolderIdentity, 0, err::kAccessDenied, true);
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    const BatchResult result = batch.Run({R"(C:\Docs\Photos\)"}, R"(D:\Links)", -1);
    EXPECT_EQ(result.outcome, BatchOutcome::Completed);
    ASSERT_FALSE(prompt.Messages().empty());
    EXPECT_LE(prompt.Messages().size(), 3u);
    for (const std::string& message : prompt.Messages()) {
        EXPECT_NE(message.find(fs.ErrorText(err::kFilenameExcedRange)), std::string::npos);
    }
    EXPECT_GT(result.hardLinks, 100u);
}

}  // namespace
}  // namespace velmora
