#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "FileSystemService.h"

// The one message that tells what a command could not do: the heading, then at most 15 lines
// "path (reason)", then how many more there were.
std::wstring FailureMessage(const std::wstring& heading, const std::vector<ItemFailure>& failures);

// Why something failed, in Spanish: the program's own reasons (its error category, and the
// portable conditions it reports, std::errc) with texts of its own; the system's with the
// system's text, which is the user's language.
std::wstring ReasonText(const std::error_code& error);
