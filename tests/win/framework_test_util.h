// Helpers for the dialog tests: an application object with a language table for dialogs, and a
// way to answer a modal dialog or message box from inside its own message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win_app.h"
#include "platform/win32/windows_support.h"
#include "text/texts.h"

namespace velmora::testing {

class TestApp : public CWinAppBase {
public:
    TestApp() { m_texts.caption = "VelmoraTest"; }
    bool InitInstance() override { return false; }
    TextCatalog m_catalog;  // the language table the tests hand to dialogs
};

// Wine without a display cannot create windows; the dialog tests then skip with a message
// instead of failing (scripts/wine-run.sh, which runs these tests, starts an Xvfb of its own).
inline bool CanOpenWindows() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
}

#define VELMORA_REQUIRE_WINDOWS()                                                             \
    do {                                                                                      \
        if (!::velmora::testing::CanOpenWindows())                                            \
            GTEST_SKIP() << "no display: windows cannot be created (set DISPLAY, e.g. Xvfb)"; \
    } while (0)

// The dialogs (class #32770) of this thread that are enabled, that is the one the user could
// work in now: a modal dialog disables its owner.
inline std::vector<HWND> EnabledDialogsOfThisThread() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (std::wstring(cls) == L"#32770" && IsWindowEnabled(hwnd)) {
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// While alive, answers every modal window that appears on this thread (other than those
// that existed before) by calling `answer` with it, from a timer inside the modal loop.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(HWND)> answer) {
        s_answer = std::move(answer);
        s_known = EnabledDialogsOfThisThread();
        m_timer = SetTimer(nullptr, 0, 30, &ModalAnswerer::Tick);
    }
    ~ModalAnswerer() {
        KillTimer(nullptr, m_timer);
        s_answer = nullptr;
    }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Texts of every window answered, in order.
    static inline std::vector<std::string> s_seen;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!s_answer) return;
        for (HWND hwnd : EnabledDialogsOfThisThread()) {
            bool known = false;
            for (HWND old : s_known) known = known || old == hwnd;
            // Answer only once the dialog is shown, so its own initialisation is over.
            if (known || !IsWindowVisible(hwnd) || GetPropW(hwnd, L"answered") != nullptr) {
                continue;
            }
            SetPropW(hwnd, L"answered", reinterpret_cast<HANDLE>(1));
            s_seen.push_back(WindowText(hwnd));
            s_answer(hwnd);
        }
    }

    static inline std::function<void(HWND)> s_answer;
    static inline std::vector<HWND> s_known;
    UINT_PTR m_timer = 0;
};

// The text of a message box's message (its static control 0xFFFF).
inline std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

}  // namespace velmora::testing
