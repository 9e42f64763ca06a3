#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "FileBytes.h"

// The files on a stick that start something, about which the entry list shows a tip.
enum class LaunchFileKind { ShellLink, InternetShortcut, Autorun };

// The kind of a root entry, told by its name alone (.lnk, .url, autorun.inf, in any case); nullopt
// for every other entry.
std::optional<LaunchFileKind> LaunchFileKindOf(std::wstring_view path);

// The tip for such a file with these bytes, in Spanish: one line per fact, "\r\n" between lines;
// empty when the file tells nothing.
std::wstring LaunchTipText(LaunchFileKind kind, ByteView bytes);

// Reads at most `most` bytes of the file at path (a list line) without following a link; a
// folder gives std::errc::is_a_directory.
using FileBytesReader = std::function<std::error_code(const std::wstring& path, std::size_t most, FileBytes& bytes)>;

// The tip for a line of the entry list; empty for an entry that is none of those files. Only such
// a file is read, and of it one byte more than a reader accepts, so that a larger one is told.
std::wstring LaunchTipFor(const std::wstring& line, const FileBytesReader& read);
