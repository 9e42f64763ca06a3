#include "modBrowse.h"

#include "Win32Api.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestDrives.h"
#include "support/WindowTestSupport.h"

namespace {

// What the test does once the picker is open: it reads the dialog and closes it as a user would.
// The picker is open once its loop first waits for the user (WM_ENTERIDLE to its owner).
std::function<void(HWND dialog)> whenOpen;
HWND seenDialog = nullptr;

LRESULT CALLBACK LookForThePicker(int code, WPARAM wParam, LPARAM lParam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent.message == WM_ENTERIDLE && sent.wParam == MSGF_DIALOGBOX && !seenDialog) {
        seenDialog = reinterpret_cast<HWND>(sent.lParam);
        whenOpen(seenDialog);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The texts of the dialog's labels, in order.
std::vector<std::wstring> LabelsOf(HWND dialog) {
    std::vector<std::wstring> labels;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static") labels.push_back(TextOf(child));
    }
    return labels;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    for (const auto& candidate : texts) {
        if (candidate == text) return true;
    }
    return false;
}

class modBrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestDrives::Mapped());
        ASSERT_TRUE(TestDrives::Empty(L'R').empty());
        ASSERT_TRUE(::CreateDirectoryW(L"R:\\Copia", nullptr));
        owner_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        seenDialog = nullptr;
        hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, &LookForThePicker, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
    }
    void TearDown() override {
        if (hook_) ::UnhookWindowsHookEx(hook_);
        ::DestroyWindow(owner_);
    }

    HWND owner_ = nullptr;
    HHOOK hook_ = nullptr;
};

TEST_F(modBrowseTest, CancelGivesTheEmptyText) {
    std::vector<std::wstring> labels;
    HWND owner = nullptr;
    whenOpen = [&](HWND dialog) {
        labels = LabelsOf(dialog);
        owner = ::GetWindow(dialog, GW_OWNER);
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    };

    const std::wstring chosen = modBrowse::ChooseFolder(L"", owner_, L"Por favor, seleccione ruta de destino.");

    ASSERT_NE(seenDialog, nullptr) << "the picker never opened";
    EXPECT_EQ(chosen, L"");
    EXPECT_TRUE(Contains(labels, L"Por favor, seleccione ruta de destino.")) << "the title above the tree";
    EXPECT_EQ(owner, owner_);
}

TEST_F(modBrowseTest, TheStartFolderIsSelectedShownInTheStatusLineAndReturned) {
    std::vector<std::wstring> labels;
    whenOpen = [&](HWND dialog) {
        labels = LabelsOf(dialog);
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };

    const std::wstring chosen = modBrowse::ChooseFolder(L"R:\\Copia", owner_, L"Elija");

    EXPECT_EQ(chosen, L"R:\\Copia");
    EXPECT_TRUE(Contains(labels, L"R:\\Copia")) << "the status line shows the highlighted folder's path";
}

TEST_F(modBrowseTest, ADriveRootKeepsItsBackslash) {
    whenOpen = [](HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDOK, 0); };

    EXPECT_EQ(modBrowse::ChooseFolder(L"R:\\", owner_, L"Elija"), L"R:\\");
}

}  // namespace
