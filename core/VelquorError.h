#pragma once

#include <system_error>

// Failures that the service decides on itself rather than hearing from the platform.
enum class VelquorError {
    LinkNotFollowed = 1,          // a link that a copy or an attribute change would go through
    DestinationInsideSource = 2,  // a folder copied into itself or its own subtree
    NotADrivePath = 3,            // a path that names no drive the service knows
    NotARootEntry = 4,            // a deletion asked of anything but one entry of a drive's root
    LinkNotRemovable = 5,         // a link the platform would only delete through to its target
    OtherFileSystem = 6,          // a mount met inside a walked folder
    TreeMoved = 7,                // a folder moved away while its tree was being deleted
    EntryGone = 8,                // a listed entry that is no longer there
    DestinationIsSource = 9,      // a file copied onto itself
    NotOpenedByExactName = 10,    // an entry the platform cannot open as the name it is listed by
    NotTheChangedEntry = 11,      // another entry now where one whose attributes changed was
    NameAlreadyCopied = 12,       // a copy's target that the same backup run wrote for another
};

const std::error_category& VelquorCategory();
std::error_code make_error_code(VelquorError e);

template <> struct std::is_error_code_enum<VelquorError> : std::true_type {};
