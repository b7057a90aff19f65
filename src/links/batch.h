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
#include <utility>
#include <vector>

#include "links/name_rule.h"
#include "links/resolve.h"
#include "links/steps.h"
#include "platform/filesystem.h"
#include "text/texts.h"

namespace velmora {

// What the user answers in the error prompt. The prompt dialog binds its buttons to these
// when the program is built; the engine takes any other value for a failure of the prompt.
enum class PromptAnswer { Skip, Retry, SkipAll, Cancel };

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows `message` (UTF-8) modally. A prompt that cannot be shown throws: the batch then
    // ends as failed, with its message, rather than passing the step over unasked.
    virtual PromptAnswer Ask(const std::string& message) = 0;
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
    std::uint64_t files = 0;    // file steps ended so far: linked, already in place or skipped
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
    Failed,     // anything else thrown, or an answer the prompt cannot give: message 108 shown
};

// What one batch did. A skipped step is one the user passed over (Skip, Skip all, or a
// failure of a kind already skipped for all); a skipped mirror folder counts once, however
// much lay below it.
struct BatchResult {
    BatchOutcome outcome = BatchOutcome::Completed;
    std::uint64_t hardLinks = 0;
    std::uint64_t junctions = 0;
    std::uint64_t folders = 0;  // mirror folders made (an existing folder reused is not counted)
    std::uint64_t alreadyInPlace = 0;
    std::uint64_t skipped = 0;
    std::vector<std::string> skippedNames;  // the first kSkippedNamesKept, as the prompt named them
};
inline constexpr std::size_t kSkippedNamesKept = 10;

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
    // target pattern, then links every entry in list order. Each call is a batch of its own.
    BatchResult Run(const std::vector<std::string>& entries, const std::string& target, int depth);

private:
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

    // The kinds of step, each with its own message in the prompt and its own Skip all.
    enum class StepKind { File, Junction, Folder, FolderRead };
    static constexpr std::size_t kStepKinds = 4;

    void RunEntries(const std::vector<std::string>& entries, const std::string& target, int depth);
    template <class Step>
    std::optional<StepResult> Attempt(StepKind kind, const std::string& name, Step&& step);
    bool RetryAfterFailure(StepKind kind, const std::string& name, const StepResult& result);
    bool FullEntry(const std::string& given, StepKind kind, std::string& entry);
    StepResult LinkFileEntry(const std::string& entry);
    void LinkFolder(const std::string& source, const std::string& link, int depth);
    void WalkMirror(const std::string& source, const std::string& link, int depth);
    bool EnterMirror(int depth);
    StepResult CreateMirrorFolder();
    void MakeJunction(const std::string& link, const std::string& source);
    void LinkMirroredFile(const std::string& source, const std::string& link);
    void CountDone(const StepResult& result, std::uint64_t& made);
    PromptAnswer Ask(StepKind kind, const std::string& name, const StepResult& result);
    void Notify(std::string_view current);

    IFileSystem& m_fs;
    IPrompt& m_prompt;
    IMessages& m_messages;
    const TextCatalog& m_texts;
    IBatchObserver* m_observer;

    std::string m_strTarget;  // the target pattern, once completed
    int m_nDepth = 0;
    bool m_bSkipAll[kStepKinds] = {};  // by StepKind
    BatchResult m_result;

    std::vector<WalkLevel> m_levels;
    std::size_t m_levelCount = 0;
    std::string m_source;  // the walk's path buffers: a name is appended, then cut off again
    std::string m_link;
    std::unordered_set<FileId, FileIdHash> m_pathIds;    // source folders on the current path
    std::unordered_set<FileId, FileIdHash> m_mirrorIds;  // every mirror folder made or reused
    std::uint64_t m_foldersEntered = 0;                  // mirror folders made or reused
    // Made by the current mirror, with their identities.
    std::vector<std::pair<std::string, std::optional<FileId>>> m_madeFolders;
    VolumeCache m_volumes;
    std::uint64_t m_filesHandled = 0;  // file steps ended, skips included
};

}  // namespace velmora
