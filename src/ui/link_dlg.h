// The main dialog: what is about to be linked, the target and the recursion depth; OK runs
// the link batch. It remembers its window rectangle and the depth when the user asked for it.
#pragma once

#include <string>

#include "links/batch.h"
#include "ui/localized_dialog.h"

namespace velmora {

class CBatchProgress;

class CLinkDlg : public CLocalizedDialog {
public:
    explicit CLinkDlg(HWND parent = nullptr);
    ~CLinkDlg() override;

    // What the link batch did, kept after OK for whoever looks.
    BatchResult m_batchResult;

    CSpinButtonCtrl m_spinDepth;
    int m_nDepth = 0;
    std::string m_strTarget;
    std::string m_strCaption;
    HICON m_hIcon = nullptr;       // shared; not destroyed
    HICON m_hSmallIcon = nullptr;  // owned

    void OnHelpClicked();
    void OnSettingsClicked();
    // The About item of the system menu.
    void ShowAbout();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    bool OnSysCommand(WPARAM command);

    // Set while OK runs the batch: the dialog then only answers Cancel, by stopping it.
    CBatchProgress* m_pBatchProgress = nullptr;
    void OnPaint();
    void AddAboutItem();
    void RestoreWindowRect();
};

// True when `rect` shares at least one pixel with the work area of some monitor.
bool IsOnSomeWorkArea(const RECT& rect);

}  // namespace velmora
