#pragma once

#include <system_error>

// Win32 error codes (GetLastError values): messages in the user's language, and the common codes
// equivalent to their std::errc conditions.
const std::error_category& Win32Category();
// The Win32 error code as a std::error_code; 0 (success) gives the empty code.
std::error_code Win32Error(unsigned long code);
// The calling thread's last Win32 error as a std::error_code.
std::error_code LastWin32Error();
