#include "SystemUserFormats.h"

#include "Win32Api.h"

namespace {

// Text from the locale functions, which return the size they need for no buffer and the size
// they wrote otherwise, terminator included both times.
template <class Call> std::optional<std::wstring> ReadLocaleText(Call call) {
    const int size = call(nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int written = call(text.data(), size);
    if (written <= 0) return std::nullopt;
    text.resize(static_cast<size_t>(written - 1));
    return text;
}

SYSTEMTIME SystemTimeOf(const LocalDateTime& moment) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(moment.year);
    time.wMonth = static_cast<WORD>(moment.month);
    time.wDay = static_cast<WORD>(moment.day);
    time.wHour = static_cast<WORD>(moment.hour);
    time.wMinute = static_cast<WORD>(moment.minute);
    time.wSecond = static_cast<WORD>(moment.second);
    return time;
}

}  // namespace

std::wstring SystemUserFormats::DecimalSeparator() const {
    const auto separator = ReadLocaleText([](wchar_t* buffer, int size) {
        return ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, size);
    });
    return separator.value_or(L".");
}

std::optional<std::wstring> SystemUserFormats::ShortDate(const LocalDateTime& moment) const {
    const SYSTEMTIME time = SystemTimeOf(moment);
    return ReadLocaleText([&](wchar_t* buffer, int size) {
        return ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer,
                                 size, nullptr);
    });
}

std::optional<std::wstring> SystemUserFormats::LongTime(const LocalDateTime& moment) const {
    const SYSTEMTIME time = SystemTimeOf(moment);
    return ReadLocaleText([&](wchar_t* buffer, int size) {
        return ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, buffer, size);
    });
}
