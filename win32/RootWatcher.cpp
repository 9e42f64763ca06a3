#include "RootWatcher.h"

#include "Errors.h"

namespace win32 {

namespace {

// An entry made, removed or renamed, or its attributes changed: what malware does to a root.
constexpr DWORD kWatchedChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES;

struct DriveWatch {
    wchar_t letter;
    UniqueChangeNotification change;
};

std::vector<DriveWatch> WatchesOf(const std::vector<std::wstring>& drives) {
    std::vector<DriveWatch> watches;
    for (const std::wstring& drive : drives) {
        const QuietDriveErrors quiet;
        UniqueChangeNotification change{::FindFirstChangeNotificationW((drive + L"\\").c_str(), FALSE, kWatchedChanges)};
        if (change) watches.push_back({drive.at(0), std::move(change)});
    }
    return watches;
}

}  // namespace

RootWatcher::RootWatcher(HWND window, UINT message)
    : window_(window), message_(message), wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (wake_) thread_ = std::thread([this] { Run(); });
}

RootWatcher::~RootWatcher() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    if (!thread_.joinable()) return;
    ::SetEvent(wake_.Get());
    thread_.join();
}

void RootWatcher::Watch(const std::vector<std::wstring>& drives) {
    {
        const std::lock_guard lock(mutex_);
        wanted_ = drives;
    }
    ::SetEvent(wake_.Get());
}

void RootWatcher::Run() {
    std::vector<DriveWatch> watches;
    for (;;) {
        std::vector<HANDLE> handles{wake_.Get()};
        for (const DriveWatch& watch : watches) handles.push_back(watch.change.Get());
        const DWORD woke = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0) {
            const std::lock_guard lock(mutex_);
            if (ending_) return;
            watches = WatchesOf(wanted_);
            continue;
        }
        const size_t index = woke - WAIT_OBJECT_0 - 1;
        if (woke == WAIT_FAILED || index >= watches.size()) return;
        ::PostMessageW(window_, message_, watches[index].letter, 0);
        // A drive that went takes its notification with it: its watch ends.
        if (!::FindNextChangeNotification(watches[index].change.Get())) watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

}  // namespace win32
