#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Viewer.h"

// A file's size as the properties box writes it: the number, and the unit text that follows it.
struct SizePieces {
    std::wstring size;
    std::wstring_view unit;
};

// Below 10,000 bytes the size in bytes; from there on in megabytes of 1053888.80952381 bytes,
// rounded to two decimals (half-way to even) and written with the user's decimal separator,
// without grouping or trailing zeros.
SizePieces SizeText(std::uint64_t bytes, std::wstring_view decimalSeparator);

// The user's short date, a space and the long time; the date alone at exactly midnight.
std::optional<std::wstring> GeneralDateText(const LocalDateTime& moment, const UserFormats& formats);

// The properties box txtProp: facts about the entry of the list's current line.
class PropertiesPanel {
public:
    explicit PropertiesPanel(Viewer& viewer);

    // Runs whenever the list reports a click. A file shows its size, creation date and type, a
    // folder its creation date; the box keeps its text when there is no current line, the entry
    // is gone, or any fact cannot be read. Yields once, after deciding what to show.
    void lstViewer_Click();

private:
    std::optional<std::wstring> FileText(const std::wstring& path);
    std::optional<std::wstring> FolderText(const std::wstring& path);

    Viewer& viewer_;
};
