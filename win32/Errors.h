#pragma once

#include <system_error>

namespace win32 {

// Win32 error codes (GetLastError values): messages in the user's language, and the common codes
// equivalent to their std::errc conditions.
const std::error_category& ErrorCategory();
// The Win32 error code as a std::error_code; 0 (success) gives the empty code.
std::error_code Error(unsigned long code);
// The calling thread's last Win32 error as a std::error_code.
std::error_code LastError();

}  // namespace win32
