// The link batch: what OK in the main dialog does. Completes the target pattern, applies
// the name rule, hard-links file entries and makes a junction or a mirror for folder
// entries, every failure going through the prompt. Portable: it reaches the system only
// through IFileSystem, the user only through IPrompt and IMessages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/filesystem.h"
#include "text/texts.h"

namespace velmora {

// Results of the error prompt: the numbers of its buttons.
inline constexpr int kPromptSkip = 1016;
inline constexpr int kPromptRetry = 1017;
inline constexpr int kPromptSkipAll = 1018;
inline constexpr int kPromptCancel = 2;

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows `message` (UTF-8) modally; returns one of the kPrompt* results.
    virtual int Ask(const std::string& message) = 0;
};

class IMessages {
public:
    virtual ~IMessages() = default;
    // A message box with an OK button and the application's caption.
    virtual void ShowMessage(const std::string& text) = 0;
};

struct BatchProgress {
    std::string_view current;   // the list entry or found entry being linked
    std::uint64_t links = 0;    // hard links and junctions made so far
    std::uint64_t folders = 0;  // mirror folders made (or reused) so far
};

class IBatchObserver {
public:
    virtual ~IBatchObserver() = default;
    // Called often during a batch (cheap to call). Returning false abandons the batch
    // exactly like Cancel in the prompt.
    virtual bool OnProgress(const BatchProgress& progress) = 0;
};

enum class BatchOutcome {
    Completed,  // every entry handled (some perhaps skipped)
    Cancelled,  // Cancel in a prompt (or from the observer): no message shown
    Refused,    // several entries and a target that names one link: message 1003 shown
    Failed,     // anything else thrown: message 108 shown
};

// The name rule: the folder part of `pattern` and its name mask applied to the source's
// name ("*" and "." work like a rename mask). `sep` is the path separator.
std::string ComposeLinkName(std::string_view pattern, std::string_view source, char sep = '\\');

struct FileIdHash {
    std::size_t operator()(const FileId& id) const noexcept {
        return static_cast<std::size_t>(id.index * 0x9E3779B97F4A7C15ULL ^ id.volume);
    }
};

class LinkBatch {
public:
    LinkBatch(IFileSystem& fs, IPrompt& prompt, IMessages& messages, const TextCatalog& texts,
              IBatchObserver* observer = nullptr);

    // Steps 2 to 6 of OK, after a successful data exchange: completes `target` into the
    // target pattern, then links every entry in list order.
    BatchOutcome Run(const std::vector<std::string>& entries, const std::string& target, int depth);

    // Target completion, the first rule that applies winning: nullopt when refused.
    std::optional<std::string> CompleteTarget(const std::string& target, std::size_t entries);

    std::string MakeFullLinkName(const std::string& name, const std::string& source);
    bool LinkFileEntry(const std::string& entry);
    void LinkFolderEntry(const std::string& entry);
    void LinkFolder(const std::string& source, const std::string& link, int depth);
    bool HardLinkFile(const std::string& source, const std::string& link);
    bool CreateJunction(const std::string& link, const std::string& source);
    void SetErrorText(ErrorCode code);

    std::string m_strTarget;
    int m_nDepth = 0;
    std::string m_strError;
    bool m_bCancelled = false;
    bool m_bSkipAllFiles = false;
    bool m_bSkipAllFolders = false;
    bool m_bSkipAllJunctions = false;

private:
    IFileSystem& m_fs;
    IPrompt& m_prompt;
    IMessages& m_messages;
    const TextCatalog& m_texts;
    IBatchObserver* m_observer;

    // One folder of the mirror walk that is being worked through. Levels are kept (not
    // freed) when the walk climbs back, so their entry vectors are reused.
    struct WalkLevel {
        std::vector<FoundEntry> entries;
        std::size_t next = 0;
        std::size_t sourceLength = 0;  // lengths of the path buffers naming this folder
        std::size_t linkLength = 0;
        int depth = 0;
        std::optional<FileId> id;
    };

    void LinkListedFile(const std::string& entry);
    bool EnterMirror(int depth);
    bool ReadSourceFolder(std::vector<FoundEntry>& entries);
    bool MakeMirrorFolder();
    void MakeJunction(const std::string& link, const std::string& source);
    void LinkMirroredFile(const std::string& source, const std::string& link);
    bool RetryAfterFailure(TextId id, const std::string& name, bool& skipAll);
    int Ask(TextId id, const std::string& name);
    [[noreturn]] void Abandon();
    void Notify(std::string_view current);

    std::vector<WalkLevel> m_levels;
    std::size_t m_levelCount = 0;
    std::string m_source;  // the walk's path buffers: a name is appended, then cut off again
    std::string m_link;
    std::unordered_set<FileId, FileIdHash> m_pathIds;    // source folders on the current path
    std::unordered_set<FileId, FileIdHash> m_mirrorIds;  // every mirror folder made or reused
    std::uint64_t m_links = 0;
    std::uint64_t m_folders = 0;
};

}  // namespace velmora
