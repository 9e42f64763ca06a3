#pragma once

#include "Win32Api.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"

// The list's menu as the user's hand works it: once the menu's loop first waits for the user
// (WM_ENTERIDLE to its owner), what it offers is read, and an item is chosen with the keys, or the
// menu is left with Escape. The menu is opened by a right click on the list.
class ListMenu {
public:
    struct Item {
        std::wstring text;  // empty for a separator
        bool enabled;
    };

    ListMenu() : hook_(::SetWindowsHookExW(WH_CALLWNDPROC, &Watch, nullptr, ::GetCurrentThreadId())) {
        EXPECT_NE(hook_, nullptr);
        current_ = this;
    }
    ListMenu(const ListMenu&) = delete;
    ListMenu& operator=(const ListMenu&) = delete;
    ~ListMenu() {
        if (hook_) ::UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }

    // Opens the menu at a screen point and chooses the item with that text.
    void Choose(POINT at, const std::wstring& text) {
        Open(at, text);
        PumpMessages();
    }
    // What the menu offered when it last opened.
    const std::vector<Item>& Seen() const { return seen_; }
    // Forgets the menu seen, to read the next one however it opens (the keyboard's menu keys).
    void Forget() {
        seen_.clear();
        choice_.clear();
    }

private:
    void Open(POINT at, std::wstring choice) {
        seen_.clear();
        choice_ = std::move(choice);
        RealRightClick(at);
        EXPECT_FALSE(seen_.empty()) << "the menu did not open";
    }

    static BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
        if (ClassOf(window) != L"#32768" || !::IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent.message == WM_ENTERIDLE && sent.wParam == MSGF_MENU && current_ &&
            current_->seen_.empty()) {
            current_->ReadAndAnswer();
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // Arrow keys go from item to item, passing over separators only.
    void ReadAndAnswer() {
        HWND window = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindMenu, reinterpret_cast<LPARAM>(&window));
        if (!window) return;
        const auto menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
        int downs = 0;
        bool found = false;
        for (int item = 0; item < ::GetMenuItemCount(menu); ++item) {
            wchar_t text[128] = L"";
            ::GetMenuStringW(menu, static_cast<UINT>(item), text, 128, MF_BYPOSITION);
            const UINT state = ::GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION);
            seen_.push_back({text, (state & (MF_GRAYED | MF_DISABLED)) == 0});
            if (found || (state & MF_SEPARATOR)) continue;
            ++downs;
            found = text == choice_;
        }
        if (!found) {
            ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        for (int i = 0; i < downs; ++i) ::PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    }

    static inline ListMenu* current_ = nullptr;
    HHOOK hook_;
    std::wstring choice_;
    std::vector<Item> seen_;
};
