#pragma once

#include "Win32Api.h"

#include <system_error>

namespace win32 {

// Win32 error codes (GetLastError values): messages in the user's language, and the common codes
// equivalent to their std::errc conditions.
const std::error_category& ErrorCategory();
// The Win32 error code as a std::error_code; 0 (success) gives the empty code.
std::error_code Error(unsigned long code);
// The calling thread's last Win32 error as a std::error_code.
std::error_code LastError();

// Keeps the system's "insert a disk" box away while a drive without a medium is asked about.
class QuietDriveErrors {
public:
    QuietDriveErrors() {
        ::SetThreadErrorMode(::GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_);
    }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;
    ~QuietDriveErrors() { ::SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

}  // namespace win32
