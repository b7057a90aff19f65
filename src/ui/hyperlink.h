// A static text control turned into a clickable link: blue underlined text over the dialog's
// background, a hand cursor, and a click that opens the address through the shell (a web page
// in the browser, "mailto:" in the mail program). When the shell cannot open it, the program
// registered for web pages is started with the address; when that fails too, the user hears a
// beep and reads the error code.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/control.h"
#include "text/texts.h"

namespace velmora {

class CHyperLink : public CStatic {
public:
    // `texts` gives the message shown when an address cannot be opened.
    explicit CHyperLink(const TextCatalog& texts) : m_texts(texts) {}
    ~CHyperLink() override;

    // How an attempt to open an address ended. `code` is the shell's result (above 32 on
    // success), or, for the started program, 33 on success and the system's error otherwise.
    struct OpenResult {
        bool success = false;
        unsigned long long code = 0;
    };

    // Opens `address` with the shell, else with the program registered for web pages.
    static OpenResult OpenLink(const std::string& address, int showCommand);
    // The default value of `subKey` under `root` as text, environment variables expanded in
    // a REG_EXPAND_SZ; nullopt when it is missing or holds no text.
    static std::optional<std::string> ReadRegDefault(HKEY root, const std::string& subKey);

    // The address a click opens. Assigned before attaching, it is also shown when the static
    // has no text; assigned later, only the address changes.
    std::string m_strLink;
    bool m_bHover = false;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

public:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void OnLinkClicked();
    void LoadHandCursor();
    HCURSOR HandCursor() const { return m_hHandCursor; }

private:
    // Message 1004 with `code` (the caller has beeped).
    void ShowOpenError(long long code) const;

    const TextCatalog& m_texts;
    HFONT m_fontUnderline = nullptr;
    HCURSOR m_hHandCursor = nullptr;
    bool m_bOwnsCursor = false;  // a private copy, destroyed with the control
};

}  // namespace velmora
