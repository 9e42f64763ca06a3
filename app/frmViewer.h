#pragma once

#include "Win32Api.h"

#include <chrono>
#include <memory>

#include "ControlRoles.h"
#include "CopyPanel.h"
#include "Form1.h"
#include "Form2.h"
#include "ListViewEntryList.h"
#include "SkinnedWindow.h"
#include "SystemCalls.h"
#include "SystemDialogs.h"
#include "SystemUserFormats.h"

#include "BackupCopy.h"
#include "Deletion.h"
#include "PropertiesPanel.h"
#include "RootListing.h"
#include "ReinfectionAlarm.h"
#include "SuspicionMarking.h"
#include "Unhide.h"
#include "Viewer.h"
#include "WalkState.h"

#include "Owners.h"
#include "RootWatcher.h"
#include "Win32FileSystemService.h"

// The main window: the list of root entries of the removable drives, the properties box, the
// status label, the copy's progress panel and the skin's hot spots. It plays the roles its walks
// work on (Viewer) with its own controls and the system's dialogs, and reaches the rest of the
// world through SystemCalls.
class frmViewer final : public SkinnedWindow, private MessagePump {
public:
    // With the system's dialogs, owned by this window, and the system's calls.
    explicit frmViewer(HINSTANCE instance);
    // With the dialogs and calls given (a test's, which answer from a script).
    frmViewer(HINSTANCE instance, MessageBoxes& messages, FolderChooser& folders, SystemCalls& system);
    // The other windows go first, by reset: a window that goes has its owner forget it, which
    // a unique_ptr amid its own destruction could not take.
    ~frmViewer() override {
        Form1_.reset();
        Form2_.reset();
        Destroy();
    }

    // The timer that shows txtProp's last text, on the window; a test fires it with WM_TIMER.
    static constexpr UINT_PTR kTxtPropTimer = 1;
    // The timer of the watch's next look at the roots the system said changed.
    static constexpr UINT_PTR kLookTimer = 2;
    // How soon a look refused by a walk under way is tried again.
    static constexpr auto kLookWhenIdle = std::chrono::milliseconds(500);
    // Posted by the watcher of the drives' roots: wParam is the letter of a drive whose root
    // changed, or 0 when drives came or went.
    static constexpr UINT kRootChanged = WM_APP + 1;

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
    // The list's own menu, at a screen point, and its items: marking what the malware left or
    // hid, unhiding the marked entries, and undoing that.
    void lstViewer_ContextMenu(POINT screen);
    void mnuMarkSuspicious_Click();
    void mnuMarkHidden_Click();
    void mnuShowMarked_Click();
    void mnuUndoAttributes_Click();
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

    // The tip of a line: why it was judged suspicious, then what its launch file would start.
    std::wstring TipFor(const std::wstring& line);
    void CreateControls();
    void AddHotSpots();
    // Runs a command that changes the list, unless a walk is under way: its list stays its own.
    template <class Command> void ListCommand(Command command) {
        if (const auto walking = walk_.TryBegin()) command();
    }
    // The same for a command that lists the drives, or changes them and lists them again: what it
    // did is the program's own, and the watch takes it as settled.
    template <class Command> void DriveCommand(Command command) {
        ListCommand([&] {
            command();
            SettleWatchedDrives();
        });
    }
    // The drives the last listing read are watched for what comes back, measured against their
    // roots as they are now: all of them after a listing, else those changed without one.
    void SettleWatchedDrives(const std::vector<std::wstring>& changedUnlisted = {});
    // The watcher's notice: a drive's root changed (its letter), or drives came or went (0).
    void Watcher_Notice(wchar_t letter);
    // Reads the noticed roots whose time has come, and sets the timer for the next look.
    void LookAtRoots();
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT ColourStatic(HDC dc, HWND control);
    // Shows window, making it first if it is not open; one that is open is brought forward.
    template <class Form, class... Arguments>
    void ShowOnce(std::unique_ptr<Form>& window, Arguments&... arguments);

    SystemDialogs systemDialogs_;
    SystemCalls& system_;
    win32::FileSystemService files_;
    ListViewEntryList lstViewer_;
    WindowText lblStatusText_;
    PacedText txtPropText_;
    WindowText caption_;
    CopyPanel picCopy_;
    WindowText lblCopyStText_;
    SystemUserFormats formats_;
    Viewer viewer_;
    WalkState walk_;
    WalkState watchReading_;  // the watch's read of the roots, which a command may interrupt
    RootListing listing_;
    PropertiesPanel properties_;
    Deletion deletion_;
    BackupCopy copy_;
    Unhide unhide_;
    SuspicionMarking suspicion_;
    ReinfectionAlarm reinfection_;
    std::unique_ptr<win32::RootWatcher> watcher_;
    win32::UniqueGdiObject statusFont_;
    win32::UniqueGdiObject copyFont_;
    HWND txtProp_ = nullptr;
    HWND lblStatus_ = nullptr;
    HWND lblCopySt_ = nullptr;
    std::unique_ptr<Form1> Form1_;
    std::unique_ptr<Form2> Form2_;
};
