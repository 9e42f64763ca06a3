#include "IniFacts.h"

#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/ShellLinkBuilder.h"

void PrintTo(const AutorunValue& value, std::ostream* out) {
    *out << static_cast<int>(value.key) << "=" << ::testing::PrintToString(value.value);
}

namespace {

using Values = std::vector<AutorunValue>;
using enum AutorunKey;

FileBytes Bytes(std::string_view text) { return {text.begin(), text.end()}; }

FileBytes WithMark(std::initializer_list<unsigned char> mark, const FileBytes& body) {
    FileBytes bytes(mark);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

FileBytes Utf16Be(std::wstring_view text) {
    FileBytes bytes = shell_link::Utf16Le(text);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

TEST(ReadAutorunInfTest, EveryKeyThatStartsOrShowsSomethingInTheOrderOfTheFile) {
    const auto values = ReadAutorunInf(Bytes("[autorun]\r\n"
                                             "action=Abrir carpeta para ver archivos\r\n"
                                             "open=RECYCLER\\x.exe\r\n"
                                             "shellexecute=RECYCLER\\x.vbs\r\n"
                                             "shell\\open\\command=RECYCLER\\x.exe\r\n"
                                             "shell\\explore\\command=RECYCLER\\y.exe /e\r\n"
                                             "icon=%SystemRoot%\\system32\\SHELL32.dll,4\r\n"
                                             "label=MI USB\r\n"
                                             "shell\\open=Abrir\r\n"));

    EXPECT_EQ(values, (Values{{Action, L"Abrir carpeta para ver archivos"},
                              {Open, L"RECYCLER\\x.exe"},
                              {ShellExecute, L"RECYCLER\\x.vbs"},
                              {ShellCommand, L"RECYCLER\\x.exe"},
                              {ShellCommand, L"RECYCLER\\y.exe /e"},
                              {Icon, L"%SystemRoot%\\system32\\SHELL32.dll,4"}}));
}

TEST(ReadAutorunInfTest, NamesInAnyCaseAndBlanksAroundThem) {
    const auto values = ReadAutorunInf(Bytes("  [ AutoRun ]  \n"
                                             "\tOPEN   =   x.exe  \n"
                                             "ShellExecute=y.exe\n"
                                             "SHELL \\ Abrir \\ Command = z.exe arg\n"
                                             "Icon=i.ico"));

    EXPECT_EQ(values, (Values{{Open, L"x.exe"}, {ShellExecute, L"y.exe"}, {ShellCommand, L"z.exe arg"}, {Icon, L"i.ico"}}));
}

TEST(ReadAutorunInfTest, CommentsAndLinesWithoutAValueAreSkipped) {
    const auto values = ReadAutorunInf(Bytes("; open=comentario.exe\r\n"
                                             "[autorun]\r\n"
                                             "  ;open=otro.exe\r\n"
                                             "basura sin igual\r\n"
                                             "\r\n"
                                             "open=real.exe\r"
                                             "icon=\r\n"));

    EXPECT_EQ(values, (Values{{Open, L"real.exe"}, {Icon, L""}}));
}

TEST(ReadAutorunInfTest, KeysThatOnlyLookLikeAShellCommandAreNotOne) {
    const auto values = ReadAutorunInf(Bytes("[autorun]\n"
                                             "shell\\\\command=empty-verb.exe\n"
                                             "shell\\command=no-verb.exe\n"
                                             "myshell\\open\\command=other.exe\n"
                                             "shell\\open\\commands=other.exe\n"
                                             "opener=other.exe\n"));

    EXPECT_EQ(values, Values{});
}

TEST(ReadAutorunInfTest, OnlyAutorunSectionsCountAndEveryOneOfThem) {
    const auto values = ReadAutorunInf(Bytes("open=before-any-section.exe\n"
                                             "[autorun]\nopen=first.exe\n"
                                             "[DeviceInstall]\nopen=other-section.exe\n"
                                             "[AUTORUN]\nopen=second.exe\nicon=i.ico\n"
                                             "[autorun.alpha]\nopen=other-section.exe\n"));

    EXPECT_EQ(values, (Values{{Open, L"first.exe"}, {Open, L"second.exe"}, {Icon, L"i.ico"}}));
}

TEST(ReadAutorunInfTest, AFileWithoutAnAutorunSectionIsReadableAndStartsNothing) {
    EXPECT_EQ(ReadAutorunInf(Bytes("[Version]\nSignature=$Windows NT$\n")), Values{});
    EXPECT_EQ(ReadAutorunInf({}), Values{});
}

TEST(ReadAutorunInfTest, TextInEveryEncodingWindowsReads) {
    const std::wstring text = L"[autorun]\r\nopen=Canción ñ €.exe\r\n";
    const Values expected{{Open, L"Canción ñ €.exe"}};

    EXPECT_EQ(ReadAutorunInf(WithMark({0xFF, 0xFE}, shell_link::Utf16Le(text))), expected) << "UTF-16LE";
    EXPECT_EQ(ReadAutorunInf(WithMark({0xFE, 0xFF}, Utf16Be(text))), expected) << "UTF-16BE";
    EXPECT_EQ(ReadAutorunInf(WithMark({0xEF, 0xBB, 0xBF}, Bytes("[autorun]\r\nopen=Canci\xC3\xB3n \xC3\xB1 \xE2\x82\xAC.exe"))),
              expected)
        << "UTF-8";
    EXPECT_EQ(ReadAutorunInf(Bytes("[autorun]\r\nopen=Canci\xF3n \xF1 \x80.exe")), expected) << "ANSI";
}

TEST(ReadAutorunInfTest, WhatIsNoTextIsUnreadable) {
    EXPECT_FALSE(ReadAutorunInf(WithMark({0xFF, 0xFE}, Bytes(std::string_view("[\0a\0u", 5)))))
        << "UTF-16 cut within a unit";
    EXPECT_FALSE(ReadAutorunInf(Bytes(std::string_view("[autorun]\nopen=a\0.exe", 21)))) << "a NUL";
    EXPECT_FALSE(ReadAutorunInf(Bytes(std::string_view("[\0a\0u\0t\0o\0", 10)))) << "UTF-16 without its mark";

    FileBytes large = Bytes("[autorun]\nopen=x.exe\n");
    large.resize(kMostFileBytes, ' ');
    EXPECT_EQ(ReadAutorunInf(large), (Values{{Open, L"x.exe"}}));
    large.push_back(' ');
    EXPECT_FALSE(ReadAutorunInf(large)) << "larger than a megabyte";
}

TEST(ReadInternetShortcutTest, TheUrlOfItsSection) {
    EXPECT_EQ(ReadInternetShortcut(Bytes("[InternetShortcut]\r\nURL=http://ejemplo.com/a?b=c\r\nIconIndex=0\r\n")),
              InternetShortcutFacts{L"http://ejemplo.com/a?b=c"});
    EXPECT_EQ(ReadInternetShortcut(Bytes("[{000214A0-0000-0000-C000-000000000046}]\nURL=other\n"
                                         "[internetshortcut]\n url = file:///C:/Windows/System32/cmd.exe \nURL=second\n")),
              InternetShortcutFacts{L"file:///C:/Windows/System32/cmd.exe"})
        << "any case, the first URL of the right section";
}

TEST(ReadInternetShortcutTest, NoUrlIsReadableAndTextThatIsNotIsUnreadable) {
    EXPECT_EQ(ReadInternetShortcut(Bytes("[InternetShortcut]\nIconIndex=0\n")), InternetShortcutFacts{});
    EXPECT_FALSE(ReadInternetShortcut(Bytes(std::string_view("L\0\0\0\x01\x14\x02\0", 8))));
}

}  // namespace
