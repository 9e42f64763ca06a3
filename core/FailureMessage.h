#pragma once

#include <string>
#include <vector>

#include "FileSystemService.h"

// The one message that tells what a command could not do: the heading, then at most 15 lines
// "path (reason)", then how many more there were.
std::wstring FailureMessage(const std::wstring& heading, const std::vector<ItemFailure>& failures);
