// The count before a batch against the batch itself: for every depth the count is the number
// of file steps the batch then takes, so the share done ends at the whole.
#include "links/file_count.h"

#include <gtest/gtest.h>

#include "links/batch.h"
#include "support/memory_fs.h"
#include "support/scripted_prompt.h"

namespace velmora {
namespace {

// Counts calls; stops the count at call `stopAt` (0: never). Records the batch's last report.
struct Observer : ICountObserver, IBatchObserver {
    bool OnCounting(std::uint64_t files) override {
        counted.push_back(files);
        return stopAt == 0 || counted.size() < stopAt;
    }
    bool OnProgress(const BatchProgress& progress) override {
        EXPECT_GE(progress.files, lastFiles) << "the files handled went back";
        lastFiles = progress.files;
        return true;
    }
    std::size_t stopAt = 0;
    std::vector<std::uint64_t> counted;
    std::uint64_t lastFiles = 0;
};

TEST(CountBatchFiles, MatchesTheFilesTheBatchHandlesAtEveryDepth) {
    test::MemoryFileSystem fs;
    fs.ShareVolume("D:", "C:");
    fs.AddFile(R"(C:\Docs\report.txt)");
    fs.AddFile(R"(C:\Docs\Photos\a.jpg)");
    fs.AddFile(R"(C:\Docs\Photos\b.jpg)");
    fs.AddFile(R"(C:\Docs\Photos\2020\c.jpg)");
    fs.AddFile(R"(C:\Docs\Photos\2020\Summer\d.jpg)");
    fs.AddFolder(R"(C:\Docs\Photos\Empty)");
    fs.AddJunction(R"(C:\Docs\Photos\2020\Back)", R"(C:\Docs\Photos)");  // leads back up
    fs.AddFolder(R"(D:\Links)");
    const std::vector<std::string> entries = {R"(C:\Docs\report.txt)", R"(C:\Docs\Photos\)",
                                              R"(C:\Docs\Missing\)", R"(Photos\)"};
    const struct {
        int depth;
        std::uint64_t files;
    } cases[] = {{0, 1}, {1, 3}, {2, 4}, {3, 5}, {-1, 5}, {-5, 5}};
    for (const auto& c : cases) {
        Observer observer;
        EXPECT_EQ(CountBatchFiles(fs, entries, c.depth, &observer), c.files) << c.depth;
        // The batch (every prompt answered Skip) handles exactly the files counted.
        test::ScriptedPrompt prompt;
        test::MessageRecorder messages;
        const TextCatalog texts;
        LinkBatch batch(fs, prompt, messages, texts, &observer);
        const std::string target = R"(D:\Links\depth)" + std::to_string(c.depth) + R"(\)";
        fs.AddFolder(target);
        EXPECT_EQ(batch.Run(entries, target, c.depth).outcome, BatchOutcome::Completed);
        EXPECT_EQ(observer.lastFiles, c.files) << c.depth;
    }
    EXPECT_TRUE(CountNeedsWalk(entries, -1, '\\'));
    EXPECT_FALSE(CountNeedsWalk(entries, 0, '\\'));
    EXPECT_FALSE(CountNeedsWalk({R"(C:\Docs\report.txt)"}, -1, '\\'));
}

TEST(CountBatchFiles, TheObserverStopsItAfterAnyFolder) {
    test::MemoryFileSystem fs;
    for (int i = 0; i < 5; ++i) fs.AddFile(R"(C:\T\d)" + std::to_string(i) + R"(\f.txt)");
    Observer all;
    EXPECT_EQ(CountBatchFiles(fs, {R"(C:\T\)"}, -1, &all), 5u);
    EXPECT_EQ(all.counted.size(), 6u);  // the root and its five folders, a report each
    EXPECT_EQ(all.counted.back(), 5u);
    Observer stopping;
    stopping.stopAt = 3;
    EXPECT_EQ(CountBatchFiles(fs, {R"(C:\T\)", R"(C:\T\)"}, -1, &stopping), std::nullopt);
    EXPECT_EQ(stopping.counted.size(), 3u);
}

}  // namespace
}  // namespace velmora
