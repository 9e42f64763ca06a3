#pragma once

#include "Win32Api.h"

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Owners.h"

namespace win32 {

// Waits, on a thread of its own, for the system to say that the root of a watched drive changed
// (an entry made, removed, renamed, or its attributes changed), and posts a window a message for
// each such change: wParam is the drive's letter; or that drives came or went: wParam 0. Waiting
// costs nothing while nothing changes.
class RootWatcher {
public:
    RootWatcher(HWND window, UINT message);
    RootWatcher(const RootWatcher&) = delete;
    RootWatcher& operator=(const RootWatcher&) = delete;
    ~RootWatcher();

    // From now on watches exactly these drives' roots ("E:"); the others' watches end. A drive
    // whose root cannot be watched is left out. Returns once the watches are in place, so that no
    // change made after it goes unseen.
    void Watch(const std::vector<std::wstring>& drives);

private:
    // The thread's own: waits until a root changes, drives come or go, or the drives to watch change.
    void Run();

    HWND window_;
    UINT message_;
    UniqueKernelHandle wake_;     // set when the drives to watch change, or the watcher ends
    UniqueKernelHandle watching_;  // set by the thread once it watches the drives asked for
    std::mutex mutex_;
    std::vector<std::wstring> wanted_;  // the drives to watch; guarded by mutex_
    bool ending_ = false;               // guarded by mutex_
    std::thread thread_;
};

}  // namespace win32
