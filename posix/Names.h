#pragma once

#include <string>
#include <string_view>

namespace posix {

// Host names in the drive's form and back. Host names need not be UTF-8: a byte that is not part
// of a valid sequence becomes U+DC80..U+DCFF and goes back out as the same byte, so any name can
// still be reached. A backslash inside a host name, which would read as a separator, is shown as
// U+F05C, as Windows' own Linux layer shows it.
std::wstring ToWide(std::string_view text);
std::string ToUtf8(std::wstring_view wide);

}  // namespace posix
