#pragma once

#include <system_error>

// Failures that the service decides on itself rather than hearing from the platform.
enum class VelquorError {
    LinkNotFollowed = 1,          // a junction or symbolic link met inside a copied tree
    DestinationInsideSource = 2,  // a folder copied into itself or its own subtree
    NotADrivePath = 3,            // a path that names no drive the service knows
    EntryGone = 4,                // a listed entry that is no longer there
};

const std::error_category& VelquorCategory();
std::error_code make_error_code(VelquorError e);

template <> struct std::is_error_code_enum<VelquorError> : std::true_type {};
