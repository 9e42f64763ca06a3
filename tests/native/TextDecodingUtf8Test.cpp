#include "TextDecoding.h"

#include <gtest/gtest.h>

namespace {

TEST(WideFromUtf8Test, EveryLengthOfSequence) {
    EXPECT_EQ(WideFromUtf8("Acceso denegado."), L"Acceso denegado.");
    EXPECT_EQ(WideFromUtf8("El archivo está en uso: ñ €"), L"El archivo está en uso: ñ €");
    EXPECT_EQ(WideFromUtf8("\xF0\x9F\x93\x81"), L"\U0001F4C1");
}

TEST(WideFromUtf8Test, BrokenSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(WideFromUtf8("a\xC3"), L"a\uFFFD") << "cut short at the end";
    EXPECT_EQ(WideFromUtf8("\xC3(b"), L"\uFFFD(b") << "a lead without its continuation";
    EXPECT_EQ(WideFromUtf8("\x80z"), L"\uFFFDz") << "a lone continuation byte";
    EXPECT_EQ(WideFromUtf8("\xC0\xAF"), L"\uFFFD") << "an overlong form";
    EXPECT_EQ(WideFromUtf8("\xED\xA0\x80"), L"\uFFFD") << "a surrogate";
}

}  // namespace
