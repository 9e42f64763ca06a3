#include "LaunchTip.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "FileBytesReader.h"
#include "support/TempTree.h"
#include "common/ShellLinkBuilder.h"

namespace {

using shell_link::Builder;

FileBytes Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::wstring LinkTip(const FileBytes& link) { return LaunchTipText(LaunchFileKind::ShellLink, link); }
std::wstring AutorunTip(std::string_view text) { return LaunchTipText(LaunchFileKind::Autorun, Bytes(text)); }

TEST(LaunchFileKindOfTest, ByTheNameAloneInAnyCase) {
    EXPECT_EQ(LaunchFileKindOf(L"E:\\Documentos.lnk"), LaunchFileKind::ShellLink);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\FOTOS.LNK"), LaunchFileKind::ShellLink);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\Banco.url"), LaunchFileKind::InternetShortcut);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\AutoRun.INF"), LaunchFileKind::Autorun);

    EXPECT_EQ(LaunchFileKindOf(L"E:\\notas.txt"), std::nullopt);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\lnk"), std::nullopt);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\Documentos.lnk.exe"), std::nullopt);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\x-autorun.inf"), std::nullopt);
    EXPECT_EQ(LaunchFileKindOf(L"E:\\RECYCLER"), std::nullopt);
}

TEST(LaunchTipTextTest, ALinkThatRunsAnInterpreterSaysSoFirst) {
    const FileBytes link = Builder()
                               .LocalPath("C:\\Windows\\System32\\cmd.exe")
                               .Arguments(L"/c start RECYCLER\\x.vbs & start explorer Documentos")
                               .WorkingFolder(L"C:\\Windows")
                               .Bytes();

    EXPECT_EQ(LinkTip(link), L"Atención: ejecuta un programa\r\n"
                             L"Abre: C:\\Windows\\System32\\cmd.exe /c start RECYCLER\\x.vbs & start explorer Documentos\r\n"
                             L"Carpeta de trabajo: C:\\Windows");
}

TEST(LaunchTipTextTest, EveryInterpreterAndScriptHostInAnyCaseAndOnlyThose) {
    for (const wchar_t* program : {L"C:\\Windows\\System32\\CMD.EXE", L"C:\\Windows\\System32\\wscript.exe",
                                   L"C:\\Windows\\System32\\cscript.exe", L"%windir%\\system32\\mshta.exe",
                                   L"C:\\Windows\\System32\\WindowsPowerShell\\v1.0\\PowerShell.exe",
                                   L"C:\\Windows\\System32\\rundll32.exe"}) {
        EXPECT_TRUE(LinkTip(Builder().EnvironmentTarget(program).Bytes()).starts_with(L"Atención: ejecuta un programa\r\n"))
            << ::testing::PrintToString(std::wstring(program));
    }
    for (const wchar_t* program : {L"C:\\Windows\\explorer.exe", L"E:\\notcmd.exe", L"E:\\cmd.exe.txt", L"E:\\cmd"}) {
        EXPECT_TRUE(LinkTip(Builder().EnvironmentTarget(program).Bytes()).starts_with(L"Abre: "))
            << ::testing::PrintToString(std::wstring(program));
    }
}

TEST(LaunchTipTextTest, ALinkShowsOnlyWhatItHolds) {
    EXPECT_EQ(LinkTip(Builder().LocalPath("E:\\Documentos").Bytes()), L"Abre: E:\\Documentos");
    EXPECT_EQ(LinkTip(Builder().Arguments(L"/x").Bytes()), L"Abre: /x");
    EXPECT_EQ(LinkTip(Builder().WorkingFolder(L"E:\\").Bytes()), L"Carpeta de trabajo: E:\\");
    EXPECT_EQ(LinkTip(Builder().Bytes()), L"");
}

TEST(LaunchTipTextTest, WhatCannotBeReadIsSaid) {
    const FileBytes garbage = Bytes("Acceso directo falso\r\n");
    EXPECT_EQ(LaunchTipText(LaunchFileKind::ShellLink, garbage), L"Acceso directo ilegible");
    EXPECT_EQ(LaunchTipText(LaunchFileKind::InternetShortcut, Bytes(std::string_view("\0", 1))), L"Acceso directo ilegible");
    EXPECT_EQ(LaunchTipText(LaunchFileKind::Autorun, Bytes(std::string_view("[autorun]\0", 10))), L"autorun.inf ilegible");
}

TEST(LaunchTipTextTest, AnInternetShortcutShowsItsAddress) {
    EXPECT_EQ(LaunchTipText(LaunchFileKind::InternetShortcut, Bytes("[InternetShortcut]\r\nURL=http://ejemplo.com/\r\n")),
              L"Dirección: http://ejemplo.com/");
    EXPECT_EQ(LaunchTipText(LaunchFileKind::InternetShortcut, Bytes("[InternetShortcut]\r\n")), L"");
}

TEST(LaunchTipTextTest, AnAutorunShowsEachProgramOnceThenItsIcon) {
    EXPECT_EQ(AutorunTip("[autorun]\r\n"
                         "open=RECYCLER\\x.exe\r\n"
                         "icon=RECYCLER\\x.exe,0\r\n"
                         "shell\\open\\command=RECYCLER\\x.exe\r\n"
                         "shell\\explore\\command=RECYCLER\\x.exe /e\r\n"
                         "action=Abrir carpeta para ver archivos\r\n"),
              L"Al conectar ejecuta: RECYCLER\\x.exe\r\n"
              L"Al conectar ejecuta: RECYCLER\\x.exe /e\r\n"
              L"Icono: RECYCLER\\x.exe,0");
    EXPECT_EQ(AutorunTip("[autorun]\r\nlabel=MI USB\r\n"), L"");
}

TEST(LaunchTipTextTest, AHugeAutorunShowsFifteenValuesEachOnceThenHowManyMore) {
    std::string inf = "[autorun]\r\nicon=x.ico\r\n";
    std::wstring shown;
    for (int i = 0; i < 20000; ++i) {
        const std::string line = "open=v" + std::to_string(i) + ".exe\r\n";
        inf += line + line;
        if (i < 15) shown += L"Al conectar ejecuta: v" + std::to_wstring(i) + L".exe\r\n";
    }
    const std::wstring tip = AutorunTip(inf);

    ASSERT_LT(tip.size(), 1000u) << "every value is shown";
    EXPECT_EQ(tip, shown + L"y 19986 más") << "20,000 programs and the icon";
}

TEST(LaunchTipTextTest, AnAutorunThatRunsAnInterpreterSaysSoFirst) {
    EXPECT_EQ(AutorunTip("[autorun]\nshellexecute=\"C:\\Windows\\System32\\WScript.exe\" RECYCLER\\x.vbs\n"),
              L"Atención: ejecuta un programa\r\n"
              L"Al conectar ejecuta: \"C:\\Windows\\System32\\WScript.exe\" RECYCLER\\x.vbs");
    EXPECT_TRUE(AutorunTip("[autorun]\nicon=a.ico\nopen=  cmd /c x.bat\n").starts_with(L"Atención"))
        << "the shell adds .exe to a bare name";
    EXPECT_TRUE(AutorunTip("[autorun]\nopen=\"E:\\cmd files\\x.exe\"\n").starts_with(L"Al conectar"))
        << "a quoted program is taken whole";
}

TEST(LaunchTipTextTest, TextThatWouldBreakALineOrTurnAroundIsShownAsSuch) {
    const FileBytes link = Builder()
                               .LocalPath("E:\\Fotos.exe")
                               .Arguments(L"x\r\nAbre: E:\\Fotos\u202Egpj.exe\u0085\u2028")
                               .Bytes();

    EXPECT_EQ(LinkTip(link), L"Abre: E:\\Fotos.exe x\uFFFD\uFFFDAbre: E:\\Fotos\uFFFDgpj.exe\uFFFD\uFFFD");
}

TEST(LaunchTipTextTest, AVeryLongValueIsCut) {
    const std::wstring start = L"C:\\Windows\\System32\\cmd.exe /c";
    const std::wstring padding(1000, L' ');
    const std::wstring tip = LinkTip(Builder().LocalPath("C:\\Windows\\System32\\cmd.exe").Arguments(L"/c" + padding + L"x.bat").Bytes());

    EXPECT_EQ(tip, L"Atención: ejecuta un programa\r\nAbre: " + start + padding.substr(0, 400 - start.size()) + L"…");
}

// Records what a tip asks the reader for, and answers as it was told.
class FakeReader {
public:
    explicit FakeReader(std::error_code error, std::string contents = {})
        : error_(error), contents_(std::move(contents)) {}

    FileBytesReader Reader() {
        return [this](const std::wstring& path, std::size_t most, FileBytes& bytes) {
            paths.push_back(path);
            sizes.push_back(most);
            bytes.assign(contents_.begin(), contents_.end());
            return error_;
        };
    }

    std::vector<std::wstring> paths;
    std::vector<std::size_t> sizes;

private:
    std::error_code error_;
    std::string contents_;
};

TEST(LaunchTipForTest, OnlyTheLinesOfLaunchFilesAreRead) {
    FakeReader reader({}, "[autorun]\r\nopen=x.exe\r\n");

    EXPECT_EQ(LaunchTipFor(L"E:\\notas.txt", reader.Reader()), L"");
    EXPECT_EQ(LaunchTipFor(L"E:\\RECYCLER", reader.Reader()), L"");
    EXPECT_TRUE(reader.paths.empty());

    EXPECT_EQ(LaunchTipFor(L"E:\\autorun.inf", reader.Reader()), L"Al conectar ejecuta: x.exe");
    EXPECT_EQ(reader.paths, std::vector<std::wstring>{L"E:\\autorun.inf"});
    EXPECT_EQ(reader.sizes, std::vector<std::size_t>{kMostFileBytes + 1}) << "one byte more than is accepted";
}

TEST(LaunchTipForTest, AFolderWithSuchANameHasNoTipAndAFailedReadIsUnreadable) {
    FakeReader folder(std::make_error_code(std::errc::is_a_directory));
    FakeReader denied(std::make_error_code(std::errc::permission_denied));

    EXPECT_EQ(LaunchTipFor(L"E:\\Documentos.lnk", folder.Reader()), L"");
    EXPECT_EQ(LaunchTipFor(L"E:\\Documentos.lnk", denied.Reader()), L"Acceso directo ilegible");
    EXPECT_EQ(LaunchTipFor(L"E:\\autorun.inf", denied.Reader()), L"autorun.inf ilegible");
}

TEST(LaunchTipForTest, AFileLargerThanAMegabyteOnDiskIsUnreadable) {
    TempTree tree;
    FileBytes link = Builder().LocalPath("C:\\Windows\\System32\\cmd.exe").Bytes();
    link.resize(kMostFileBytes, 0);
    tree.File("exacto.lnk", std::string(link.begin(), link.end()));
    link.push_back(0);
    tree.File("grande.lnk", std::string(link.begin(), link.end()));
    const FileBytesReader fromTree = [&tree](const std::wstring& path, std::size_t most, FileBytes& bytes) {
        return posix::ReadFileBytes((tree / std::string(path.begin() + 3, path.end())).string(), most, bytes);
    };

    EXPECT_EQ(LaunchTipFor(L"E:\\exacto.lnk", fromTree),
              L"Atención: ejecuta un programa\r\nAbre: C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(LaunchTipFor(L"E:\\grande.lnk", fromTree), L"Acceso directo ilegible");
}

}  // namespace
