#pragma once

#include <string_view>

// What a command line, a shortcut's target or an autorun.inf's value starts, read from its text.

// The program a command line starts: up to the closing quote when it opens with one, else up to
// the first blank.
std::wstring_view ProgramOf(std::wstring_view command);

// Whether program (a path, as a shortcut names its target) is a command interpreter or script
// host: a program that runs whatever command or script it is handed.
bool IsInterpreter(std::wstring_view program);

// Whether a command line starts one, ".exe" understood where its program has no extension, as
// the shell understands it.
bool StartsAnInterpreter(std::wstring_view command);
