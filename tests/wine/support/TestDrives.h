#pragma once

#include "Win32Api.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "Unique.h"
#include "Owners.h"

// The drives that cmake/wine-run maps for the suite, from VELQUOR_TEST_DRIVES
// ("R=/host/r;S=/host/s;T=/host/t;"): R: and S: are removable folders, T: is a removable letter
// whose folder is missing, so it is not ready.
class TestDrives {
public:
    // Each mapped letter with its host folder (a Unix path under Wine).
    static const std::map<wchar_t, std::wstring>& HostFolders() {
        static const std::map<wchar_t, std::wstring> folders =
            Parse(Environment(L"VELQUOR_TEST_DRIVES"));
        return folders;
    }

    static bool Mapped() {
        const auto& folders = HostFolders();
        return folders.contains(L'R') && folders.contains(L'S') && folders.contains(L'T');
    }

    // Removes everything in the drive's root through the file API; gives back what would not go.
    static std::vector<std::wstring> Empty(wchar_t letter) {
        std::vector<std::wstring> left;
        RemoveContents(std::wstring(L"\\\\?\\") + letter + L":", left);
        return left;
    }

    // Where a path on a test drive ("R:\a\b") lies on the host ("/host/r/a/b").
    static std::wstring HostPath(std::wstring_view drivePath) {
        std::wstring path = HostFolders().at(drivePath[0]);
        for (wchar_t c : drivePath.substr(2)) path += c == L'\\' ? L'/' : c;
        return path;
    }

private:
    static std::wstring Environment(const wchar_t* name) {
        const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
        if (size == 0) return {};
        std::wstring value(size, L'\0');
        value.resize(::GetEnvironmentVariableW(name, value.data(), size));
        return value;
    }

    static std::map<wchar_t, std::wstring> Parse(std::wstring_view text) {
        std::map<wchar_t, std::wstring> folders;
        while (!text.empty()) {
            const size_t end = std::min(text.find(L';'), text.size());
            const std::wstring_view item = text.substr(0, end);
            if (item.size() > 2 && item[1] == L'=') folders[item[0]] = std::wstring(item.substr(2));
            text.remove_prefix(std::min(end + 1, text.size()));
        }
        return folders;
    }

    static void RemoveContents(const std::wstring& folder, std::vector<std::wstring>& left) {
        std::vector<WIN32_FIND_DATAW> entries;
        WIN32_FIND_DATAW data{};
        if (const win32::UniqueFind find{::FindFirstFileW((folder + L"\\*").c_str(), &data)}) {
            do {
                const std::wstring_view name = data.cFileName;
                if (name != L"." && name != L"..") entries.push_back(data);
            } while (::FindNextFileW(find.Get(), &data));
        }
        for (const WIN32_FIND_DATAW& entry : entries) {
            const std::wstring path = folder + L"\\" + entry.cFileName;
            const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (isFolder && !isLink) RemoveContents(path, left);
            if (!(isFolder ? ::RemoveDirectoryW(path.c_str()) : ::DeleteFileW(path.c_str()))) {
                left.push_back(path);
            }
        }
    }
};

// Waits on FindFirstChangeNotificationW.
struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::FindCloseChangeNotification(handle); }
};

// What Win32 cannot make under Wine 8 is made on the host: symbolic links (CreateSymbolicLinkW is
// a stub there that reports success and makes nothing; the mount-point FSCTL answers
// ERROR_NOT_SUPPORTED) and read-only folders (Wine ignores the attribute when a folder is given
// it, yet shows it for a folder without write bits).
class HostShell {
public:
    static bool IsWine() {
        return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    }

    // Runs a shell command on the host and waits until it has succeeded, within a while (in
    // milliseconds); fails the test with the reason otherwise. Wine starts Unix programs but hands
    // back no process to wait on, so the command, once it succeeded, makes a marker file in folder
    // (a drive path), whose arrival a change notification reports.
    static bool Run(const std::wstring& command, const std::wstring& folder,
                    DWORD within = 5000) {
        const std::wstring marker = folder + L"\\host-command.done";
        std::wstring commandLine = L"/bin/sh -c \"" + command + L" && : > '" +
                                   TestDrives::HostPath(marker) + L"'\"";
        const Unique<ChangeNotificationTraits> change{::FindFirstChangeNotificationW(
            folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)};
        if (!change) return Fail(command, L"no change notification on the folder", ::GetLastError());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &started)) {
            return Fail(command, L"the host shell did not start", ::GetLastError());
        }
        const win32::UniqueKernelHandle process{started.hProcess};
        const win32::UniqueKernelHandle thread{started.hThread};
        const ULONGLONG deadline = ::GetTickCount64() + within;
        const std::wstring late = L"no success within " + std::to_wstring(within) + L" ms";
        while (::GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline) return Fail(command, late, 0);
            const auto left = static_cast<DWORD>(deadline - now);
            if (::WaitForSingleObject(change.Get(), left) != WAIT_OBJECT_0) {
                return Fail(command, late, 0);
            }
            ::FindNextChangeNotification(change.Get());
        }
        ::DeleteFileW(marker.c_str());
        return true;
    }

private:
    static bool Fail(const std::wstring& command, const std::wstring& why, DWORD error) {
        ADD_FAILURE() << "host command: " << ::testing::PrintToString(command) << ": "
                      << ::testing::PrintToString(why) << " (error " << error << ")";
        return false;
    }
};

inline std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// Gives a folder on a test drive the read-only attribute.
inline void MakeFolderReadOnly(const std::wstring& folder) {
    if (HostShell::IsWine()) {
        HostShell::Run(L"chmod a-w '" + TestDrives::HostPath(folder) + L"'", FolderOf(folder));
    } else if (!::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY)) {
        ADD_FAILURE() << "no read-only attribute on " << ::testing::PrintToString(folder)
                      << ": error " << ::GetLastError();
    }
}

// A symbolic link on a test drive to a file or folder (on either test drive), made for one test
// and removed after it, the link only. A link that cannot be made fails the test with the reason.
class TestLink {
public:
    TestLink(std::wstring link, const std::wstring& target) : link_(std::move(link)) {
        if (HostShell::IsWine()) {
            made_ = HostShell::Run(L"ln -s '" + TestDrives::HostPath(target) + L"' '" +
                                       TestDrives::HostPath(link_) + L"'",
                                   FolderOf(link_));
            return;
        }
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        const DWORD kind = (attributes != INVALID_FILE_ATTRIBUTES &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY))
                               ? SYMBOLIC_LINK_FLAG_DIRECTORY
                               : 0;
        made_ = ::CreateSymbolicLinkW(link_.c_str(), target.c_str(),
                                      kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
        if (!made_) {
            ADD_FAILURE() << "no symbolic link at " << ::testing::PrintToString(link_)
                          << ": error " << ::GetLastError();
        }
    }
    TestLink(const TestLink&) = delete;
    TestLink& operator=(const TestLink&) = delete;
    ~TestLink() {
        if (!made_) return;
        // Wine would remove the link's target instead; and a link whose target is gone is
        // invisible to Win32 there, yet still keeps its folder from being removed.
        if (HostShell::IsWine()) {
            HostShell::Run(L"rm -f '" + TestDrives::HostPath(link_) + L"'", FolderOf(link_));
        } else {
            const DWORD attributes = ::GetFileAttributesW(link_.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) return;
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                ::RemoveDirectoryW(link_.c_str());
            } else {
                ::DeleteFileW(link_.c_str());
            }
        }
    }

    bool Made() const { return made_; }

private:
    std::wstring link_;
    bool made_ = false;
};
