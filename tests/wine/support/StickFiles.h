#pragma once

#include "Win32Api.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "FileBytes.h"
#include "Owners.h"

// Entries made on a test drive through the Win32 API, with the attributes malware gives them.
inline void MakeFile(const std::wstring& path, std::string_view bytes = "x", DWORD attributes = 0) {
    const win32::UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)};
    ASSERT_TRUE(file) << ::testing::PrintToString(path) << ": error " << ::GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    if (attributes) {
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
    }
}

inline void MakeFile(const std::wstring& path, const FileBytes& bytes, DWORD attributes = 0) {
    MakeFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), attributes);
}

inline void MakeFolder(const std::wstring& path, DWORD attributes = 0) {
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << ::testing::PrintToString(path);
    if (attributes) {
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
    }
}
