#include "Errors.h"

#include "Win32Api.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Win32ErrorTest, CodesCarryTheSystemsMessageWithoutItsLineBreak) {
    const std::string text = win32::Error(ERROR_FILE_NOT_FOUND).message();
    EXPECT_STREQ(win32::ErrorCategory().name(), "win32");
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text, win32::Error(ERROR_ACCESS_DENIED).message());
    EXPECT_EQ(win32::Error(0x2000ABCD).message(), "Error de Windows 536914893.");
}

TEST(Win32ErrorTest, SuccessIsEmptyAndUnmappedCodesKeepTheirCategory) {
    EXPECT_EQ(win32::Error(ERROR_SUCCESS), std::error_code{});
    ::SetLastError(ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(win32::LastError(), std::errc::directory_not_empty);
    EXPECT_EQ(win32::Error(ERROR_DIRECTORY), std::errc::not_a_directory);
    const auto unmapped = win32::Error(ERROR_INVALID_FUNCTION).default_error_condition();
    EXPECT_EQ(&unmapped.category(), &win32::ErrorCategory());
    EXPECT_EQ(unmapped.value(), ERROR_INVALID_FUNCTION);
}

}  // namespace
