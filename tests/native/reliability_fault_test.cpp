// Every file-system call of a mirror failing once, in turn, with every kind of error, now
// answered with Retry and with Cancel, and in a tree whose junction leads back into itself:
// Retry recovers the whole mirror, Cancel stops at once without undoing anything, and the
// source is never touched.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "links/batch.h"
#include "support/memory_fs.h"
#include "support/scripted_prompt.h"

namespace velmora {
namespace {

using test::FsCall;
using test::FsOp;
using test::MemoryFileSystem;

const std::vector<std::string> kEntries = {R"(C:\Docs\report.txt)", R"(C:\Docs\Photos\)"};
const ErrorCode kKinds[] = {err::kAccessDenied, err::kAlreadyExists,     err::kFileNotFound,
                            err::kDiskFull,     err::kFilenameExcedRange, err::kTooManyLinks};

// Photos holds a junction back to itself (a cycle) and, two levels down, a folder at depth
// 2 that becomes a junction: every kind of step takes part.
void BuildTree(MemoryFileSystem& fs) {
    fs.AddFile(R"(C:\Docs\report.txt)", "report");
    fs.AddFile(R"(C:\Docs\Photos\a.jpg)", "a");
    fs.AddFile(R"(C:\Docs\Photos\2020\c.jpg)", "c");
    fs.AddFile(R"(C:\Docs\Photos\2020\Summer\d.jpg)", "d");
    fs.AddJunction(R"(C:\Docs\Photos\2020\back)", R"(C:\Docs\Photos)");
    fs.AddFolder(R"(D:\Links)");
    fs.SetCurrent(R"(C:\Program)");
}

// Whether a failure of `call` reaches the prompt: every step that makes something, reading a
// source folder, and finding a junction's source (a junction to nothing is refused).
bool Prompted(const FsCall& call, const std::vector<FsCall>& clean) {
    if (call.op == FsOp::FolderIdentity) {
        for (const FsCall& other : clean) {
            if (other.op == FsOp::SetMountPoint && other.path2 == call.path) return true;
        }
        return false;
    }
    return call.op == FsOp::CreateHardLink || call.op == FsOp::CreateFolder ||
           call.op == FsOp::SetMountPoint || call.op == FsOp::ListFolder;
}

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
}

struct CleanRun {
    std::vector<FsCall> calls;
    std::string target;
    std::string source;
};

CleanRun RunClean(int depth) {
    MemoryFileSystem fs;
    BuildTree(fs);
    CleanRun clean;
    clean.source = fs.Describe(R"(C:\Docs)");
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    EXPECT_EQ(batch.Run(kEntries, R"(D:\Links)", depth), BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());
    clean.calls = fs.Calls();
    clean.target = fs.Describe(R"(D:\Links)");
    return clean;
}

// Depth -1 walks the cycle (passed over silently); depth 2 ends in junctions for Summer and
// for the junction that leads back.
class FaultSweep : public ::testing::TestWithParam<int> {};

TEST_P(FaultSweep, RetryAfterAOneOffFailureMakesTheWholeMirror) {
    const int depth = GetParam();
    const CleanRun clean = RunClean(depth);
    ASSERT_GT(clean.calls.size(), 10u);
    for (const ErrorCode kind : kKinds) {
        for (std::size_t n = 2; n <= clean.calls.size(); ++n) {
            const FsCall& failing = clean.calls[n - 1];
            SCOPED_TRACE("call " + std::to_string(n) + " " + test::FsOpName(failing.op) + " " +
                         failing.path + ", error " + std::to_string(kind));
            MemoryFileSystem fs;
            BuildTree(fs);
            fs.FailCall(FsOp::Any, static_cast<int>(n), kind);
            // Retry once; should the same step fail again, Skip (a user pressing Retry for
            // ever would see the prompt for ever).
            test::ScriptedPrompt prompt({kPromptRetry}, kPromptSkip);
            test::MessageRecorder messages;
            TextCatalog texts;
            LinkBatch batch(fs, prompt, messages, texts);
            EXPECT_EQ(batch.Run(kEntries, R"(D:\Links)", depth), BatchOutcome::Completed);
            EXPECT_TRUE(messages.Shown().empty());
            EXPECT_EQ(fs.Describe(R"(C:\Docs)"), clean.source);
            EXPECT_TRUE(fs.OnlyFailedJunctionFoldersRemoved());
            if (Prompted(failing, clean.calls)) {
                EXPECT_EQ(prompt.Messages().size(), 1u);
                EXPECT_EQ(fs.Describe(R"(D:\Links)"), clean.target);
            } else {
                // Lookups fail without a prompt; what they cost is at most some of the
                // mirror, never anything else.
                EXPECT_TRUE(prompt.Messages().empty());
                // (A failed full-path step or identity changes names or lets a cycle
                // round once more, so only the other lookups are held to this.)
                if (failing.op == FsOp::FullPath || failing.op == FsOp::FolderIdentity) continue;
                const std::set<std::string> cleanLines = Lines(clean.target);
                for (const std::string& line : Lines(fs.Describe(R"(D:\Links)"))) {
                    EXPECT_TRUE(cleanLines.count(line)) << "unexpected " << line;
                }
            }
        }
    }
}

TEST_P(FaultSweep, CancelAtAnyFailureStopsAtOnceAndUndoesNothing) {
    const int depth = GetParam();
    const CleanRun clean = RunClean(depth);
    const std::set<std::string> cleanLines = Lines(clean.target);
    for (const ErrorCode kind : kKinds) {
        for (std::size_t n = 2; n <= clean.calls.size(); ++n) {
            const FsCall& failing = clean.calls[n - 1];
            if (!Prompted(failing, clean.calls)) continue;
            SCOPED_TRACE("call " + std::to_string(n) + " " + test::FsOpName(failing.op) + " " +
                         failing.path + ", error " + std::to_string(kind));
            MemoryFileSystem fs;
            BuildTree(fs);
            fs.FailCall(FsOp::Any, static_cast<int>(n), kind);
            test::ScriptedPrompt prompt({}, kPromptCancel);
            std::size_t callsAtPrompt = 0;
            prompt.BeforeAnswer([&](const std::string&) { callsAtPrompt = fs.Calls().size(); });
            test::MessageRecorder messages;
            TextCatalog texts;
            LinkBatch batch(fs, prompt, messages, texts);
            EXPECT_EQ(batch.Run(kEntries, R"(D:\Links)", depth), BatchOutcome::Cancelled);
            EXPECT_TRUE(batch.m_bCancelled);
            EXPECT_EQ(prompt.Messages().size(), 1u);
            EXPECT_TRUE(messages.Shown().empty());
            EXPECT_EQ(fs.Describe(R"(C:\Docs)"), clean.source);
            EXPECT_TRUE(fs.OnlyFailedJunctionFoldersRemoved());
            // Not one call once Cancel is pressed.
            EXPECT_EQ(fs.Calls().size(), callsAtPrompt);
            for (const std::string& line : Lines(fs.Describe(R"(D:\Links)"))) {
                EXPECT_TRUE(cleanLines.count(line)) << "unexpected " << line;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, FaultSweep, ::testing::Values(-1, 2));

// A junction back into the tree whose identity cannot be read: the walk may go round once
// more, but the next level's identity stops it. Nothing loops, nothing is lost.
TEST(FaultSweepCycle, UnreadableIdentitiesDoNotLetTheCycleRunAway) {
    MemoryFileSystem fs;
    BuildTree(fs);
    const std::string source = fs.Describe(R"(C:\Docs)");
    fs.FailPath(FsOp::FolderIdentity, R"(C:\Docs\Photos\2020\back)", err::kAccessDenied, true);
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(fs, prompt, messages, texts);
    EXPECT_EQ(batch.Run(kEntries, R"(D:\Links)", -1), BatchOutcome::Completed);
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_EQ(fs.Describe(R"(C:\Docs)"), source);
    EXPECT_TRUE(fs.IsFile(R"(D:\Links\Photos\2020\back\a.jpg)"));
    EXPECT_FALSE(fs.Exists(R"(D:\Links\Photos\2020\back\2020)"));
    EXPECT_LT(fs.CountEntries(R"(D:\Links)"), 20u);
}

}  // namespace
}  // namespace velmora
