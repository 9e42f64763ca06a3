// Plays the user's part in the dialogs of a running velquor.exe for the demo (scripts/run-demo),
// where a mouse alone cannot: picks a folder in the shell's folder picker, answers message boxes.
//   velquor_demo_driver pick PATH      select PATH in the open folder picker and press OK
//   velquor_demo_driver answer BUTTON  press IDYES (yes), IDNO (no) or IDOK (ok) in the open box
//   velquor_demo_driver text           print the text of the open message box
//   velquor_demo_driver where TEXT     print the screen points of the list line TEXT: its check
//                                      box and its text, as "x y x y"
//   velquor_demo_driver menu N         choose item N (from 1) of the menu that is open

#include "Win32Api.h"

#include <shlobj.h>

#include <commctrl.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <thread>

#include "Owners.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"VelquorViewer";

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK FindVelquorDialog(HWND window, LPARAM found) {
    if (ClassOf(window) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
    if (ClassOf(::GetWindow(window, GW_OWNER)) != kMainWindowClass) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
    if (ClassOf(window) != L"#32768" || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Polls for the first window that find picks, for up to 20 s.
HWND WaitForWindow(WNDENUMPROC find) {
    for (int i = 0; i < 400; ++i) {
        HWND window = nullptr;
        ::EnumWindows(find, reinterpret_cast<LPARAM>(&window));
        if (window) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

// The menu loop reads the keys of its thread's queue: moving down to the item and Enter.
bool ChooseMenuItem(int item) {
    const HWND menu = WaitForWindow(&FindMenu);
    if (!menu) return false;
    for (int i = 0; i < item; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

// Memory in another process, for the messages whose arguments point at memory.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t bytes) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        process_.Reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (process_) address_ = ::VirtualAllocEx(process_.Get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) ::VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
    }
    explicit operator bool() const { return address_ != nullptr; }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Write(const void* data, size_t bytes) {
        return ::WriteProcessMemory(process_.Get(), address_, data, bytes, nullptr) != FALSE;
    }
    bool Read(void* data, size_t bytes) const {
        return ::ReadProcessMemory(process_.Get(), address_, data, bytes, nullptr) != FALSE;
    }

private:
    win32::UniqueKernelHandle process_;
    void* address_ = nullptr;
};

// The dialog that velquor.exe shows now, waiting up to 20 s for it.
// The picker takes the path as a pointer into its own process: write it there first.
bool Pick(HWND dialog, const std::wstring& path) {
    const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    RemoteMemory remote(dialog, bytes);
    if (!remote || !remote.Write(path.c_str(), bytes)) return false;
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, remote.Address());
    ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    return true;
}

std::wstring LineText(HWND list, RemoteMemory& remote, int index) {
    struct Request {
        LVITEMW item;
        wchar_t text[512];
    } request{};
    request.item.cchTextMax = 512;
    request.item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + offsetof(Request, text));
    if (!remote.Write(&request, sizeof request)) return {};
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), remote.Address());
    remote.Read(&request, sizeof request);
    return request.text;
}

RECT LineRect(HWND list, RemoteMemory& remote, int index, int part) {
    RECT rect{part, 0, 0, 0};
    remote.Write(&rect, sizeof rect);
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), remote.Address());
    remote.Read(&rect, sizeof rect);
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Prints where the line lies on the screen: the middle of its check box, then of its text.
bool Where(const std::wstring& text) {
    HWND main = ::FindWindowW(kMainWindowClass, nullptr);
    HWND list = ::FindWindowExW(main, nullptr, L"SysListView32", nullptr);
    RemoteMemory remote(list, sizeof(LVITEMW) + 1024 + 64);
    if (!list || !remote) return false;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        if (LineText(list, remote, index) != text) continue;
        // The check box lies just left of the line's (empty) icon.
        const RECT icon = LineRect(list, remote, index, LVIR_ICON);
        const RECT label = LineRect(list, remote, index, LVIR_LABEL);
        const int middle = (label.top + label.bottom) / 2;
        std::fwprintf(stdout, L"%ld %d %ld %d\n", icon.left - 8, middle, (label.left + label.right) / 2, middle);
        return true;
    }
    return false;
}

int ButtonOf(const std::wstring& name) {
    if (name == L"yes") return IDYES;
    if (name == L"no") return IDNO;
    return IDOK;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"where" && argc == 3) return Where(argv[2]) ? 0 : 1;
    if (command == L"menu" && argc == 3) return ChooseMenuItem(std::stoi(argv[2])) ? 0 : 1;
    HWND dialog = WaitForWindow(&FindVelquorDialog);
    if (!dialog) {
        std::fwprintf(stderr, L"velquor_demo_driver: no dialog of velquor.exe is open\n");
        return 1;
    }
    if (command == L"pick" && argc == 3) return Pick(dialog, argv[2]) ? 0 : 1;
    if (command == L"answer" && argc == 3) {
        ::SendMessageW(dialog, WM_COMMAND, ButtonOf(argv[2]), 0);
        return 0;
    }
    if (command == L"text") {
        wchar_t text[4096] = L"";
        ::GetDlgItemTextW(dialog, 0xFFFF, text, 4096);  // a message box's text label
        std::fwprintf(stdout, L"%ls\n", text);
        return 0;
    }
    return 2;
}
