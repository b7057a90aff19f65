// A tree 10,000 folders deep, mirrored on a thread with a small stack: the walk must keep
// its levels on the heap, not on the machine stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include "links/batch.h"
#include "support/scripted_prompt.h"

namespace velmora {
namespace {

// A virtual tree: /src/d/d/.../d, every folder holding one file "f" and (but the deepest) one
// sub-folder "d". Every call is checked and costs O(1), so only the engine is measured.
class DeepFileSystem : public IFileSystem {
public:
    explicit DeepFileSystem(std::size_t levels) : m_levels(levels) {}

    ErrorCode CreateHardLink(const std::string& link, const std::string& existing) override {
        if (link != "/dst" + existing || existing.size() != m_lastFolder + 2 ||
            existing.back() != 'f') {
            ++wrongCalls;
        }
        ++hardLinks;
        return err::kSuccess;
    }
    ErrorCode CreateFolder(const std::string& path) override {
        // Folders come one level deeper each time: /dst/src, /dst/src/d, ...
        if (path.size() != 8 + 2 * folders) {
            ++wrongCalls;
        }
        ++folders;
        return err::kSuccess;
    }
    ErrorCode RemoveFolder(const std::string&) override {
        ++wrongCalls;
        return err::kAccessDenied;
    }
    ErrorCode SetMountPoint(const std::string&, const std::string&,
                            const std::vector<std::uint8_t>&) override {
        ++wrongCalls;
        return err::kNotSupported;
    }
    bool SetCurrentFolder(const std::string& path) override { return path == "/dst"; }
    std::optional<std::string> FullPath(const std::string& name) override {
        std::string full = name;
        while (!full.empty() && full.back() == '.') {
            full.pop_back();
        }
        return full;
    }
    ErrorCode ListFolder(const std::string& folder, std::vector<FoundEntry>& out) override {
        out.clear();
        const std::size_t level = LevelOf(folder);
        m_lastFolder = folder.size();
        out.push_back(FoundEntry{"f", false});
        if (level < m_levels) {
            out.push_back(FoundEntry{"d", true});
        }
        return err::kSuccess;
    }
    std::optional<FileId> FolderIdentity(const std::string& path) override {
        const bool link = path.compare(0, 4, "/dst") == 0;
        return FileId{link ? 2u : 1u, LevelOf(link ? path.substr(4) : path)};
    }
    std::optional<EntryInfo> Inspect(const std::string&) override { return std::nullopt; }
    std::optional<std::string> FinalPath(const std::string&) override { return std::nullopt; }
    std::optional<VolumeInfo> VolumeOf(const std::string&) override { return std::nullopt; }
    bool SameName(const std::string& a, const std::string& b) override { return a == b; }
    std::string ErrorText(ErrorCode) override { return "error\r\n"; }
    char Separator() const override { return '/'; }

    std::size_t hardLinks = 0;
    std::size_t folders = 0;
    std::size_t wrongCalls = 0;

private:
    static std::size_t LevelOf(const std::string& sourcePath) {
        return (sourcePath.size() - 4) / 2 + 1;
    }
    std::size_t m_levels;
    std::size_t m_lastFolder = 0;
};

struct DeepRun {
    DeepFileSystem* fs;
    BatchOutcome outcome = BatchOutcome::Failed;
    std::size_t prompts = 0;
};

void* RunDeep(void* arg) {
    auto* run = static_cast<DeepRun*>(arg);
    test::ScriptedPrompt prompt;
    test::MessageRecorder messages;
    TextCatalog texts;
    LinkBatch batch(*run->fs, prompt, messages, texts);
    run->outcome = batch.Run({"/src/"}, "/dst", -1).outcome;
    run->prompts = prompt.Messages().size() + messages.Shown().size();
    return nullptr;
}

TEST(DeepTree, TenThousandLevelsOnASmallStack) {
    constexpr std::size_t kLevels = 10000;
    DeepFileSystem fs(kLevels);
    DeepRun run{&fs};
    pthread_attr_t attr;
    ASSERT_EQ(pthread_attr_init(&attr), 0);
    // Far less than a walk that recursed once per level would need at this depth.
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 256 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, RunDeep, &run), 0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attr);

    EXPECT_EQ(run.outcome, BatchOutcome::Completed);
    EXPECT_EQ(run.prompts, 0u);
    EXPECT_EQ(fs.folders, kLevels);
    EXPECT_EQ(fs.hardLinks, kLevels);
    EXPECT_EQ(fs.wrongCalls, 0u);
}

}  // namespace
}  // namespace velmora
