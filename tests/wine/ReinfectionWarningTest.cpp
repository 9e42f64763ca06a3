#include "frmViewer.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ShellLinkBuilder.h"
#include "support/ListMenu.h"
#include "support/MainWindowFixture.h"
#include "support/MountManager.h"
#include "support/StickFiles.h"

namespace {

constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

FileBytes LinkToCmd() { return shell_link::Builder().LocalPath("C:\\Windows\\System32\\cmd.exe").Bytes(); }

std::wstring WarningOf(const std::wstring& drive, const std::wstring& entries) {
    return L"Algo está volviendo a escribir en la memoria " + drive + L" (" + entries +
           L"). Este equipo puede estar infectado: no abra la memoria con doble clic y analícelo con su antivirus.";
}

// Handles messages as they arrive until done() holds; false if it does not within a generous
// while. What is awaited comes from another thread, not from a timer.
bool PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// The notices of the watcher as the window takes them from its queue.
int noticesTaken = 0;
LRESULT CALLBACK CountNotices(int code, WPARAM wParam, LPARAM lParam) {
    const auto& message = *reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message.message == frmViewer::kRootChanged) ++noticesTaken;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The main window with both test drives listed, and so watched; R: holds the user's files.
class ReinfectionWarningTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        MakeFolder(L"R:\\Documentos");
        MakeFile(L"R:\\notas.txt");
        WithTheMainWindow::SetUp();
        hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, &CountNotices, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
        ListAgain();
    }
    void TearDown() override {
        ::UnhookWindowsHookEx(hook_);
        WithTheMainWindow::TearDown();
    }

    void ListAgain() {
        Click(designed::mvSALL);
        Settle();
    }
    // The warnings shown so far.
    std::vector<std::wstring> Warnings() const {
        std::vector<std::wstring> warnings;
        for (const auto& shown : dialogs_.messages) {
            if (shown.kind == ScriptedDialogs::Kind::Warning) warnings.push_back(shown.text);
        }
        return warnings;
    }
    // Handles the window's messages until the watcher's next notice has been taken and handled;
    // the notices come from the watcher's thread, as the system tells it of changes.
    void TakeTheNextNotice() {
        const int before = noticesTaken;
        EXPECT_TRUE(PumpUntil([&] { return noticesTaken > before; })) << "no notice from the watcher";
        PumpMessages();
    }
    // Handles the window's messages until it has shown count warnings: a root read moments ago
    // is read again only after a rest of a few times its read.
    void AwaitWarnings(size_t count) {
        EXPECT_TRUE(PumpUntil([&] { return Warnings().size() >= count; })) << "no warning";
    }

    HHOOK hook_ = nullptr;
};

TEST_F(ReinfectionWarningTest, AnOrdinaryFileIsNothingAShortcutToCmdWarnsNamingItAndOnceAMinute) {
    MakeFile(L"R:\\nuevo.txt");
    TakeTheNextNotice();
    EXPECT_EQ(Warnings(), std::vector<std::wstring>{});

    MakeFile(L"R:\\Documentos.lnk", LinkToCmd());
    AwaitWarnings(1);
    EXPECT_EQ(Warnings(), std::vector<std::wstring>{WarningOf(L"R:", L"R:\\Documentos.lnk")});

    ASSERT_TRUE(::SetFileAttributesW(L"R:\\Documentos", kHidden));
    TakeTheNextNotice();
    EXPECT_EQ(Warnings().size(), 1u) << "a second warning for R: within the minute";
}

TEST_F(ReinfectionWarningTest, TheProgramsOwnCopyDeletionUnhidingAndUndoAreNothing) {
    MakeFile(L"R:\\x.vbs", "WScript.Echo", kHidden);
    ASSERT_TRUE(::SetFileAttributesW(L"R:\\Documentos", kHidden));
    ListAgain();
    ListMenu menu;

    Mark({L"R:\\x.vbs"});
    dialogs_.chosenFolder = L"S:\\";
    dialogs_.answers = {true, true};
    Click(designed::cmdCopy);
    ASSERT_NE(::GetFileAttributesW(L"S:\\x.vbs"), INVALID_FILE_ATTRIBUTES) << "the copy did not run";
    Settle();
    Click(designed::cmdDeleteSel);
    Settle();
    Mark({L"R:\\Documentos"});
    menu.Choose(OnLine(0), L"Mostrar elementos marcados (quitar oculto y sistema)");
    Settle();
    menu.Choose(OnLine(0), L"Deshacer el último cambio de atributos");
    // A change of someone else's comes after them all, and its notice with it.
    MakeFile(L"R:\\nuevo.txt");
    TakeTheNextNotice();

    ASSERT_NE(::GetFileAttributesW(L"R:\\Documentos") & FILE_ATTRIBUTE_HIDDEN, 0u) << "undo did not run";
    EXPECT_EQ(Warnings(), std::vector<std::wstring>{});
}

TEST_F(ReinfectionWarningTest, ADrivePulledAndPluggedAgainIsWatchedOnlyOnceListedAgain) {
    const std::wstring hostFolder = TestDrives::HostFolders().at(L'R');
    ASSERT_TRUE(MountManager::Unplug(L'R'));
    TakeTheNextNotice();
    ASSERT_TRUE(MountManager::Plug(L'R', DRIVE_REMOVABLE, hostFolder));
    TakeTheNextNotice();

    MakeFile(L"R:\\Documentos.lnk", LinkToCmd());
    MakeFile(L"S:\\x.vbs", "WScript.Echo", kHidden);
    AwaitWarnings(1);
    EXPECT_EQ(Warnings(), std::vector<std::wstring>{WarningOf(L"S:", L"S:\\x.vbs")}) << "R: is watched still";

    ListAgain();
    MakeFile(L"R:\\y.js", "WScript.Echo", kHidden);
    AwaitWarnings(2);
    EXPECT_EQ(Warnings().back(), WarningOf(L"R:", L"R:\\y.js"));
}

}  // namespace
