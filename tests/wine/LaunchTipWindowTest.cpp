#include "frmViewer.h"

#include <commctrl.h>

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "Owners.h"
#include "support/MainWindowFixture.h"
#include "support/WindowTestSupport.h"
#include "common/ShellLinkBuilder.h"

namespace {

constexpr wchar_t kLink[] = L"R:\\Documentos.lnk";
constexpr wchar_t kAutorun[] = L"R:\\autorun.inf";
constexpr wchar_t kOrdinary[] = L"R:\\notas.txt";
constexpr wchar_t kBrokenLink[] = L"R:\\Fotos.lnk";

constexpr std::wstring_view kLinkTip = L"Atención: ejecuta un programa\r\n"
                                       L"Abre: C:\\Windows\\System32\\cmd.exe /c start RECYCLER\\x.vbs & start explorer "
                                       L"Documentos";

void Write(const wchar_t* path, std::string_view bytes) {
    const win32::UniqueFile file{::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)};
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

void Write(const wchar_t* path, const FileBytes& bytes) {
    Write(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

FileBytes LinkToCmd(std::wstring_view arguments) {
    return shell_link::Builder().LocalPath("C:\\Windows\\System32\\cmd.exe").Arguments(arguments).Bytes();
}

// The main window listing the files of a test drive, the pointer driven as the user's hand drives it.
class LaunchTipWindowTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        Write(kLink, LinkToCmd(L"/c start RECYCLER\\x.vbs & start explorer Documentos"));
        Write(kAutorun, "[AutoRun]\r\nopen=RECYCLER\\x.exe\r\n; comentario\r\nicon = RECYCLER\\x.exe,0\r\n");
        Write(kOrdinary, "Lista de la compra\r\n");
        Write(kBrokenLink, "Acceso directo falso\r\n");
        WithTheMainWindow::SetUp();
        form_->mvSFLS_Click();
        Settle();
    }

    // Rests the pointer on the middle of the line that holds path, and its tip shows at once.
    void RestOn(std::wstring_view path) {
        int line = 0;
        while (line < List().ListCount() && List().List(line) != path) ++line;
        ASSERT_LT(line, List().ListCount()) << "not listed";
        const POINT point = OnLine(line);
        SendMouse(point, 0);
        SendMouse({point.x + 1, point.y}, 0);
        LineTip::ShowNow(List().TipWindow());
        PumpMessages();
    }

    bool TipShown() { return ::IsWindowVisible(List().TipWindow()) != FALSE; }
    // A tooltip answers WM_GETTEXT with the text it shows.
    std::wstring TipText() { return TextOf(List().TipWindow()); }
};

TEST_F(LaunchTipWindowTest, ALinksTipSaysWhatItRunsAndWarnsOfTheInterpreter) {
    RestOn(kLink);

    EXPECT_TRUE(TipShown());
    EXPECT_EQ(TipText(), kLinkTip);
}

TEST_F(LaunchTipWindowTest, AnAutorunsTipSaysWhatRunsOnConnectingAndItsIcon) {
    RestOn(kAutorun);

    EXPECT_TRUE(TipShown());
    EXPECT_EQ(TipText(), L"Al conectar ejecuta: RECYCLER\\x.exe\r\nIcono: RECYCLER\\x.exe,0");
}

TEST_F(LaunchTipWindowTest, AnOrdinaryFileHasNoTipWhereALinkHasOne) {
    RestOn(kOrdinary);
    EXPECT_FALSE(TipShown()) << ::testing::PrintToString(TipText());

    RestOn(kLink);
    EXPECT_TRUE(TipShown()) << "the same pointer on a link's line";
}

TEST_F(LaunchTipWindowTest, MovingToAnotherLineShowsThatLinesTip) {
    RestOn(kLink);
    RestOn(kBrokenLink);

    EXPECT_TRUE(TipShown());
    EXPECT_EQ(TipText(), L"Acceso directo ilegible");
}

TEST_F(LaunchTipWindowTest, TheFileIsReadWhenThePointerRestsNotWhenItIsListed) {
    Write(kLink, LinkToCmd(L"/c del /q *"));

    RestOn(kLink);

    EXPECT_EQ(TipText(), L"Atención: ejecuta un programa\r\nAbre: C:\\Windows\\System32\\cmd.exe /c del /q *");
}

// The window loaded in a process where the system would still ask for a disk.
class NotReadyDriveTest : public LaunchTipWindowTest {
    void SetUp() override {
        ::SetErrorMode(0);
        LaunchTipWindowTest::SetUp();
    }
};

// A line of a drive without its medium (a card reader's slot emptied): the tip and the properties
// box answer at once, and no "insert a disk" box of the system's asks first.
TEST_F(NotReadyDriveTest, ALineOfItAnswersWithoutTheSystemsBox) {
    EXPECT_NE(::GetErrorMode() & SEM_FAILCRITICALERRORS, 0u) << "set as the window loaded";
    List().AddItem(L"T:\\x.lnk");
    Settle();
    ::SetWindowTextW(form_->txtProp(), L"Fecha De Creación: (1/2/2026)");

    RestOn(L"T:\\x.lnk");
    EXPECT_EQ(TipText(), L"Acceso directo ilegible");
    RealClick(OnLine(List().ListCount() - 1));
    Settle();
    EXPECT_EQ(TextOf(form_->txtProp()), L"Fecha De Creación: (1/2/2026)");
}

TEST_F(LaunchTipWindowTest, TheTipGoesWhenTheListIsFilledAgain) {
    RestOn(kLink);
    ASSERT_TRUE(TipShown());

    form_->mvSFLS_Click();

    EXPECT_FALSE(TipShown());
}

}  // namespace
