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

// The system's record of its mounted drives, which changes as a drive comes or goes (Wine's mount
// manager says nothing else of it; Windows also sends WM_DEVICECHANGE).
class MountedDrives {
public:
    MountedDrives() : changed_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\MountedDevices", 0, KEY_NOTIFY, &key) == ERROR_SUCCESS) {
            key_.Reset(key);
        }
        Arm();
    }
    // Signalled at the next change; nothing to wait on where the record cannot be watched.
    HANDLE Changed() const { return key_ ? changed_.Get() : nullptr; }
    void Arm() {
        if (key_ && changed_) {
            ::RegNotifyChangeKeyValue(key_.Get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                      changed_.Get(), TRUE);
        }
    }

private:
    UniqueRegistryKey key_;
    UniqueKernelHandle changed_;
};

}  // namespace

RootWatcher::RootWatcher(HWND window, UINT message)
    : window_(window),
      message_(message),
      wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      watching_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (wake_ && watching_) thread_ = std::thread([this] { Run(); });
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
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        wanted_ = drives;
    }
    ::SetEvent(wake_.Get());
    // Opening a few notifications takes well under this; a thread that cannot is not waited for.
    constexpr DWORD kLongestWait = 2000;
    ::WaitForSingleObject(watching_.Get(), kLongestWait);
}

void RootWatcher::Run() {
    MountedDrives mounted;
    std::vector<DriveWatch> watches;
    for (;;) {
        std::vector<HANDLE> handles{wake_.Get()};
        if (mounted.Changed()) handles.push_back(mounted.Changed());
        const size_t first = handles.size();
        for (const DriveWatch& watch : watches) handles.push_back(watch.change.Get());
        const DWORD woke = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0) {
            const std::lock_guard lock(mutex_);
            if (ending_) return;
            watches = WatchesOf(wanted_);
            ::SetEvent(watching_.Get());
            continue;
        }
        if (woke == WAIT_OBJECT_0 + 1 && first == 2) {
            mounted.Arm();
            ::PostMessageW(window_, message_, 0, 0);
            continue;
        }
        const size_t index = woke - WAIT_OBJECT_0 - first;
        if (woke == WAIT_FAILED || index >= watches.size()) return;
        ::PostMessageW(window_, message_, watches[index].letter, 0);
        // A drive that went takes its notification with it: its watch ends.
        if (!::FindNextChangeNotification(watches[index].change.Get())) watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

}  // namespace win32
