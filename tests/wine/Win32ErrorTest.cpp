#include "listing/Win32Error.h"

#include "listing/Windows_win.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Win32ErrorTest, CodesCarryTheSystemsMessageWithoutItsLineBreak) {
    const std::string text = Win32Error(ERROR_FILE_NOT_FOUND).message();
    EXPECT_STREQ(Win32Category().name(), "win32");
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text, Win32Error(ERROR_ACCESS_DENIED).message());
    EXPECT_EQ(Win32Error(0x2000ABCD).message(), "Win32 error 536914893");
}

TEST(Win32ErrorTest, SuccessIsEmptyAndUnmappedCodesKeepTheirCategory) {
    EXPECT_EQ(Win32Error(ERROR_SUCCESS), std::error_code{});
    ::SetLastError(ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(LastWin32Error(), std::errc::directory_not_empty);
    EXPECT_EQ(Win32Error(ERROR_DIRECTORY), std::errc::not_a_directory);
    const auto unmapped = Win32Error(ERROR_INVALID_FUNCTION).default_error_condition();
    EXPECT_EQ(&unmapped.category(), &Win32Category());
    EXPECT_EQ(unmapped.value(), ERROR_INVALID_FUNCTION);
}

}  // namespace
