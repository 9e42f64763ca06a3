#pragma once

#include "listing/Windows_win.h"

#include <memory>

#include "app/ControlRoles.h"
#include "app/CopyPanel.h"
#include "app/Form1.h"
#include "app/Form2.h"
#include "app/GdiHandles.h"
#include "app/ListViewEntryList.h"
#include "app/SkinnedWindow.h"
#include "app/SystemCalls.h"
#include "app/SystemUserFormats.h"
#include "listing/PropertiesPanel.h"
#include "listing/RootListing.h"
#include "listing/Viewer.h"
#include "listing/WalkState.h"
#include "listing/Win32FileSystemService_win.h"
#include "operations/BackupCopy.h"
#include "operations/Deletion.h"
#include "operations/Unhide.h"

// The main window: the list of root entries of the removable drives, the properties box, the
// status label, the copy's progress panel and the skin's hot spots. It plays the roles its walks
// work on (Viewer) with its own controls, and reaches the world outside through SystemCalls.
class frmViewer final : public SkinnedWindow,
                        private MessagePump,
                        private MessageBoxes,
                        private FolderChooser {
public:
    explicit frmViewer(HINSTANCE instance, SystemCalls& system = RealSystemCalls());
    // The other windows go first, by reset: a window that goes has its owner forget it, which
    // a unique_ptr amid its own destruction could not take.
    ~frmViewer() override {
        Form1_.reset();
        Form2_.reset();
        Destroy();
    }

    // Creates the window and its controls and runs Form_Load; the window is not shown yet.
    bool Create();

    void Form_Load();
    void mvSALL_Click();
    void mvSFLD_Click();
    void mvSFLS_Click();
    void cmdSelAll_Click();
    void cmdInvAll_Click();
    void cmdClearAll_Click();
    void cmdDeleteSel_Click();
    void cmdCopy_Click();
    void lstViewer_Click();
    // The list's own menu, at a screen point: unhiding the marked entries, and undoing that.
    void lstViewer_ContextMenu(POINT screen);
    void Image1_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();

    Listed ViewMode() const { return listing_.ViewMode(); }
    ListViewEntryList& lstViewer() { return lstViewer_; }
    HWND txtProp() const { return txtProp_; }
    HWND lblStatus() const { return lblStatus_; }
    HWND picCopy() const { return picCopy_.hWnd(); }
    const BackupCopy& Copy() const { return copy_; }
    HWND lblCopySt() const { return lblCopySt_; }
    // The connection monitor and the help window while they are open, null otherwise.
    Form1* monitor() const { return Form1_.get(); }
    Form2* help() const { return Form2_.get(); }

private:
    void DoEvents() override;
    void Warn(const std::wstring& text) override;
    bool AskYesNo(const std::wstring& text) override;
    std::wstring ChooseFolder(const std::wstring& startFolder, const std::wstring& title) override;

    void CreateControls();
    void AddHotSpots();
    // Runs a command that changes the list, unless a walk is under way: its list stays its own.
    template <class Command> void ListCommand(Command command) {
        if (const auto walking = walk_.TryBegin()) command();
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT ColourStatic(HDC dc, HWND control);
    // Shows window, making it first if it is not open; one that is open is brought forward.
    template <class Window> void ShowOnce(std::unique_ptr<Window>& window);

    SystemCalls& system_;
    Win32FileSystemService files_;
    ListViewEntryList lstViewer_;
    WindowText lblStatusText_;
    PacedText txtPropText_;
    WindowText caption_;
    CopyPanel picCopy_;
    WindowText lblCopyStText_;
    SystemUserFormats formats_;
    Viewer viewer_;
    WalkState walk_;
    RootListing listing_;
    PropertiesPanel properties_;
    Deletion deletion_;
    BackupCopy copy_;
    Unhide unhide_;
    UniqueGdiObject statusFont_;
    UniqueGdiObject copyFont_;
    HWND txtProp_ = nullptr;
    HWND lblStatus_ = nullptr;
    HWND lblCopySt_ = nullptr;
    std::unique_ptr<Form1> Form1_;
    std::unique_ptr<Form2> Form2_;
};
