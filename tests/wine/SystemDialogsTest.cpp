#include "SystemDialogs.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/WindowTestSupport.h"

namespace {

// A message box as it was activated, read by a hook on this thread, which then answers it.
struct BoxSeen {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
    HICON icon = nullptr;
    std::vector<int> buttons;  // IDOK, IDYES...: those it offers
};
std::vector<BoxSeen> boxesSeen;
int buttonToPress = 0;  // 0: the Enter key, which presses the default button

bool Shows(HWND control) { return control && (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE); }

HICON IconOf(HWND box) {
    HICON icon = nullptr;
    for (HWND child = ::GetWindow(box, GW_CHILD); child && !icon; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    return icon;
}

LRESULT CALLBACK ReadAndAnswer(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && ClassOf(box) == L"#32770") {
        BoxSeen seen{TextOf(box), TextOf(::GetDlgItem(box, 0xFFFF)), ::GetWindow(box, GW_OWNER), IconOf(box), {}};
        for (const int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
            if (Shows(::GetDlgItem(box, id))) seen.buttons.push_back(id);
        }
        boxesSeen.push_back(seen);
        if (buttonToPress == 0) {
            ::PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
        } else {
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonToPress, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(box, buttonToPress)));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(SystemDialogsTest, BoxesAreOwnedTitledWithTheirIconAndYesIsTheDefaultAndTheOnlyYes) {
    enum class Box { Warn, Inform, AskYesNo };
    struct Case {
        const char* name;
        Box box;
        int press;  // 0: Enter
        LPCWSTR icon;
        std::vector<int> buttons;
        bool answer;
    };
    const Case cases[] = {
        {"Warn, Enter pressed", Box::Warn, 0, IDI_EXCLAMATION, {IDOK}, false},
        {"Inform, Enter pressed", Box::Inform, 0, IDI_INFORMATION, {IDOK}, false},
        {"AskYesNo, Enter pressed", Box::AskYesNo, 0, IDI_EXCLAMATION, {IDYES, IDNO}, true},
        {"AskYesNo answered No", Box::AskYesNo, IDNO, IDI_EXCLAMATION, {IDYES, IDNO}, false},
    };
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                         nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SystemDialogs dialogs;
    dialogs.SetOwner(owner);
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &ReadAndAnswer, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxesSeen.clear();
        buttonToPress = c.press;

        switch (c.box) {
        case Box::Warn: dialogs.Warn(L"¿Seguro?"); break;
        case Box::Inform: dialogs.Inform(L"¿Seguro?"); break;
        case Box::AskYesNo: EXPECT_EQ(dialogs.AskYesNo(L"¿Seguro?"), c.answer); break;
        }

        ASSERT_EQ(boxesSeen.size(), 1u);
        const BoxSeen& box = boxesSeen[0];
        EXPECT_EQ(box.title, L"=)");
        EXPECT_EQ(box.text, L"¿Seguro?");
        EXPECT_EQ(box.owner, owner);
        EXPECT_EQ(box.icon, ::LoadIconW(nullptr, c.icon));
        EXPECT_EQ(box.buttons, c.buttons);
    }
    ::UnhookWindowsHookEx(hook);
    ::DestroyWindow(owner);
}

}  // namespace
