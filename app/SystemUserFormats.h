#pragma once

#include "Viewer.h"

// The user's number and date formats from the system's locale settings.
class SystemUserFormats final : public UserFormats {
public:
    std::wstring DecimalSeparator() const override;
    std::optional<std::wstring> ShortDate(const LocalDateTime& moment) const override;
    std::optional<std::wstring> LongTime(const LocalDateTime& moment) const override;
};
