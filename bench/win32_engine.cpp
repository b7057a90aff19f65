// win32_engine SOURCE TARGET [--wait]: velmora.exe's mirror without its dialog.
//
// The program's own link engine (LinkBatch) over its own Win32 back end (Win32FileSystem),
// run exactly as OK runs it for one folder entry at depth -1, but with no window, no progress
// display and a prompt that fails the run if it is ever asked. Timed beside velmora.exe and
// the minimal mirror (win32_mirror.exe) under the same Wine it splits what velmora.exe spends
// above the floor into the engine's part (this program minus the floor) and the dialog's
// part (velmora.exe minus this program).
//
// --wait, the output and the exit codes are those of win32_mirror.exe. With --profile the
// calls into the back end are counted and timed, and a table of them goes to the error
// output: where the engine's time goes under Wine, call by call.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "links/batch.h"
#include "platform/win32/fs_win.h"
#include "platform/win32/windows_support.h"
#include "text/texts.h"

namespace {

void Write(DWORD which, const std::string& text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written,
                nullptr);
}

class NeverAsked : public velmora::IPrompt {
public:
    velmora::PromptAnswer Ask(const std::string& message) override {
        if (asked++ == 0) Write(STD_ERROR_HANDLE, "win32_engine: prompt: " + message + "\n");
        return velmora::PromptAnswer::Cancel;
    }
    int asked = 0;
};

class NoMessages : public velmora::IMessages {
public:
    void ShowMessage(const std::string& text) override {
        Write(STD_ERROR_HANDLE, "win32_engine: message: " + text + "\n");
        ++shown;
    }
    int shown = 0;
};

double Now() {
    LARGE_INTEGER frequency{}, counter{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Forwards every call to the real back end, counting the calls and the time spent in them.
class TimedFileSystem : public velmora::IFileSystem {
public:
    explicit TimedFileSystem(velmora::IFileSystem& fs) : m_fs(fs) {}

private:
    enum { kHardLink, kFolder, kList, kIdentity, kInspect, kVolume, kOther, kKinds };

    template <class F>
    auto Timed(int kind, F&& call) -> decltype(call()) {
        const double start = Now();
        auto result = call();
        m_seconds[kind] += Now() - start;
        ++m_calls[kind];
        return result;
    }

public:
    velmora::ErrorCode CreateHardLink(const std::string& link,
                                      const std::string& existing) override {
        return Timed(kHardLink, [&] { return m_fs.CreateHardLink(link, existing); });
    }
    velmora::ErrorCode CreateFolder(const std::string& path) override {
        return Timed(kFolder, [&] { return m_fs.CreateFolder(path); });
    }
    velmora::ErrorCode RemoveFolder(const std::string& path) override {
        return Timed(kOther, [&] { return m_fs.RemoveFolder(path); });
    }
    velmora::ErrorCode SetMountPoint(const std::string& folder, const std::string& source,
                                     const std::vector<std::uint8_t>& data) override {
        return Timed(kOther, [&] { return m_fs.SetMountPoint(folder, source, data); });
    }
    bool SetCurrentFolder(const std::string& path) override {
        return Timed(kOther, [&] { return m_fs.SetCurrentFolder(path); });
    }
    std::optional<std::string> FullPath(const std::string& name) override {
        return Timed(kOther, [&] { return m_fs.FullPath(name); });
    }
    velmora::ErrorCode ListFolder(const std::string& folder,
                                  std::vector<velmora::FoundEntry>& out) override {
        return Timed(kList, [&] { return m_fs.ListFolder(folder, out); });
    }
    std::optional<velmora::FileId> FolderIdentity(const std::string& path) override {
        return Timed(kIdentity, [&] { return m_fs.FolderIdentity(path); });
    }
    std::optional<velmora::EntryInfo> Inspect(const std::string& path) override {
        return Timed(kInspect, [&] { return m_fs.Inspect(path); });
    }
    std::optional<std::string> FinalPath(const std::string& path) override {
        return Timed(kVolume, [&] { return m_fs.FinalPath(path); });
    }
    std::optional<velmora::VolumeInfo> VolumeOf(const std::string& path) override {
        return Timed(kVolume, [&] { return m_fs.VolumeOf(path); });
    }
    bool SameName(const std::string& a, const std::string& b) override {
        return Timed(kOther, [&] { return m_fs.SameName(a, b); });
    }
    std::string ErrorText(velmora::ErrorCode code) override {
        return Timed(kOther, [&] { return m_fs.ErrorText(code); });
    }
    char Separator() const override { return m_fs.Separator(); }

    std::string Report(double total) const {
        static const char* const names[] = {"CreateHardLink", "CreateFolder", "ListFolder",
                                            "FolderIdentity", "Inspect",      "FinalPath/VolumeOf",
                                            "other calls"};
        std::string out = "call                  calls    seconds  share  us/call\n";
        double inCalls = 0;
        char line[128];
        for (int i = 0; i < kKinds; ++i) {
            inCalls += m_seconds[i];
            if (m_calls[i] == 0) continue;
            std::snprintf(line, sizeof line, "%-19s %7llu %10.3f %5.1f%% %8.1f\n", names[i],
                          static_cast<unsigned long long>(m_calls[i]), m_seconds[i],
                          100 * m_seconds[i] / total,
                          1e6 * m_seconds[i] / static_cast<double>(m_calls[i]));
            out += line;
        }
        std::snprintf(line, sizeof line, "%-19s %7s %10.3f %5.1f%%\n", "engine itself", "",
                      total - inCalls, 100 * (total - inCalls) / total);
        return out + line;
    }

private:
    velmora::IFileSystem& m_fs;
    double m_seconds[kKinds] = {};
    std::uint64_t m_calls[kKinds] = {};
};

bool WaitForGo() {
    Write(STD_OUTPUT_HANDLE, "ready\n");
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char c = 0;
    DWORD got = 0;
    while (::ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') return true;
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool wait = false, profile = false;
    std::vector<std::wstring> names;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view a = argv[i];
        if (a == L"--wait")
            wait = true;
        else if (a == L"--profile")
            profile = true;
        else
            names.emplace_back(a);
    }
    if (names.size() != 2) {
        Write(STD_ERROR_HANDLE,
              "usage: win32_engine SOURCE-FOLDER TARGET-FOLDER [--wait] [--profile]\n");
        return 2;
    }
    std::string source = velmora::Narrow(names[0]);
    std::string target = velmora::Narrow(names[1]);
    if (source.empty() || source.back() != '\\') source += '\\';
    if (target.empty() || target.back() != '\\') target += '\\';
    if (wait && !WaitForGo()) {
        Write(STD_ERROR_HANDLE, "win32_engine: no go line on the standard input\n");
        return 2;
    }
    const double start = Now();
    velmora::Win32FileSystem win32;
    TimedFileSystem timed(win32);
    velmora::IFileSystem& fs = profile ? static_cast<velmora::IFileSystem&>(timed) : win32;
    NeverAsked prompt;
    NoMessages messages;
    const velmora::TextCatalog texts;
    velmora::LinkBatch batch(fs, prompt, messages, texts);
    const velmora::BatchResult result = batch.Run({source}, target, -1);
    const double total = Now() - start;
    const std::uint64_t failures = prompt.asked + messages.shown + result.skipped;
    Write(STD_OUTPUT_HANDLE, "links " + std::to_string(result.hardLinks) + " folders " +
                                 std::to_string(result.folders) + " failures " +
                                 std::to_string(failures) + "\n");
    if (profile) Write(STD_ERROR_HANDLE, timed.Report(total));
    return result.outcome == velmora::BatchOutcome::Completed && failures == 0 ? 0 : 1;
}
