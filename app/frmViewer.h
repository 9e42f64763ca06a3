#pragma once

#include "listing/Windows_win.h"

#include <functional>
#include <string>

#include "app/ListViewEntryList.h"
#include "app/SkinnedWindow.h"
#include "app/GdiHandles.h"
#include "listing/RootListing.h"
#include "listing/ViewerWindow.h"
#include "listing/WalkState.h"
#include "listing/Win32FileSystemService_win.h"

// The main window: the list of root entries of the removable drives, the properties box, the
// status label and the skin's hot spots.
class frmViewer final : public SkinnedWindow, private ViewerWindow {
public:
    // What the window does to the world outside it; tests put their own in.
    struct Actions {
        std::function<void(HWND owner, const wchar_t* address)> openWebPage;
        std::function<void()> endProgram;
    };
    static Actions RealActions();

    explicit frmViewer(HINSTANCE instance, Actions actions = RealActions());
    ~frmViewer() override { Destroy(); }

    // Creates the window and its controls and runs Form_Load; the window is not shown yet.
    bool Create();
    void Show(int showCommand);

    void Form_Load();
    void mvSALL_Click();
    void mvSFLD_Click();
    void mvSFLS_Click();
    void Image1_Click();
    void Image4_Click();
    void Image5_Click();
    void Check1_Click();

    Listed ViewMode() const { return listing_.ViewMode(); }
    ListViewEntryList& lstViewer() { return lstViewer_; }
    HWND txtProp() const { return txtProp_; }
    HWND lblStatus() const { return lblStatus_; }
    HWND picCopy() const { return picCopy_; }
    HWND lblCopySt() const { return lblCopySt_; }
    HWND Check1() const { return Check1_; }

private:
    void DoEvents() override;
    void SetStatusText(const std::wstring& text) override;

    void CreateControls();
    void AddHotSpots();
    void ShowView(Listed view);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT ColourStatic(HDC dc, HWND control);

    Actions actions_;
    Win32FileSystemService files_;
    ListViewEntryList lstViewer_;
    WalkState walk_;
    RootListing listing_;
    UniqueGdiObject statusFont_;
    UniqueGdiObject copyFont_;
    HWND txtProp_ = nullptr;
    HWND lblStatus_ = nullptr;
    HWND picCopy_ = nullptr;
    HWND lblCopySt_ = nullptr;
    HWND Check1_ = nullptr;
};
