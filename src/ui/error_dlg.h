// The prompt every failed step of a link batch goes through: the message, and Skip, Retry,
// Skip all or Cancel. One object may be shown any number of times, each time with the
// message it holds then.
#pragma once

#include <string>

#include "links/batch.h"
#include "ui/help_viewer.h"
#include "ui/localized_dialog.h"

namespace velmora {

class CErrorDlg : public CLocalizedDialog, public IPrompt {
public:
    // `parent` null: owned by the application's main window, which stays disabled meanwhile.
    // F1 opens the prompt's help topic through `help` (without one, the application's help).
    explicit CErrorDlg(const TextCatalog& texts, const CHelpViewer* help = nullptr,
                       HWND parent = nullptr);

    // Shows `message` modally and gives the answer of the button chosen. A prompt that
    // cannot be shown throws, so the batch ends as failed instead of skipping unasked.
    PromptAnswer Ask(const std::string& message) override;

    // The text shown in the prompt.
    std::string m_strMessage;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code) override;
    void OnHelp() override;

private:
    void FitMessage();

    const CHelpViewer* m_pHelp;
};

}  // namespace velmora
