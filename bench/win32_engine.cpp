// win32_engine SOURCE TARGET [--wait]: velmora.exe's mirror without its dialog.
//
// The program's own link engine (LinkBatch) over its own Win32 back end (Win32FileSystem),
// run exactly as OK runs it for one folder entry at depth -1, but with no window, no progress
// display and a prompt that fails the run if it is ever asked. Timed beside velmora.exe and
// the minimal mirror (win32_mirror.exe) under the same Wine it splits what velmora.exe spends
// above the floor into the engine's part (this program minus the floor) and the dialog's
// part (velmora.exe minus this program).
//
// --wait, the output and the exit codes are those of win32_mirror.exe.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "links/batch.h"
#include "platform/win32/fs_win.h"
#include "platform/win32/wide.h"
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
    const bool wait = argc == 4 && std::wstring_view(argv[3]) == L"--wait";
    if (argc != 3 && !wait) {
        Write(STD_ERROR_HANDLE, "usage: win32_engine SOURCE-FOLDER TARGET-FOLDER [--wait]\n");
        return 2;
    }
    std::string source = velmora::Narrow(argv[1]);
    std::string target = velmora::Narrow(argv[2]);
    if (source.empty() || source.back() != '\\') source += '\\';
    if (target.empty() || target.back() != '\\') target += '\\';
    if (wait && !WaitForGo()) {
        Write(STD_ERROR_HANDLE, "win32_engine: no go line on the standard input\n");
        return 2;
    }
    velmora::Win32FileSystem fs;
    NeverAsked prompt;
    NoMessages messages;
    const velmora::TextCatalog texts;
    velmora::LinkBatch batch(fs, prompt, messages, texts);
    const velmora::BatchResult result = batch.Run({source}, target, -1);
    const std::uint64_t failures = prompt.asked + messages.shown + result.skipped;
    Write(STD_OUTPUT_HANDLE, "links " + std::to_string(result.hardLinks) + " folders " +
                                 std::to_string(result.folders) + " failures " +
                                 std::to_string(failures) + "\n");
    return result.outcome == velmora::BatchOutcome::Completed && failures == 0 ? 0 : 1;
}
