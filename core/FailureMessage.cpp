#include "FailureMessage.h"

#include "TextDecoding.h"

namespace {

constexpr std::size_t kLongestList = 15;

}  // namespace

std::wstring FailureMessage(const std::wstring& heading, const std::vector<ItemFailure>& failures) {
    std::wstring text = heading;
    for (std::size_t i = 0; i < failures.size() && i < kLongestList; ++i) {
        text += L"\n" + failures[i].path + L" (" + WideFromUtf8(failures[i].error.message()) + L")";
    }
    if (failures.size() > kLongestList) text += L"\ny " + std::to_wstring(failures.size() - kLongestList) + L" más";
    return text;
}
