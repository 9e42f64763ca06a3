#include "frmViewer.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/ShellLinkBuilder.h"
#include "support/ListMenu.h"
#include "support/MainWindowFixture.h"
#include "support/StickFiles.h"

namespace {

constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The main window listing R:, which holds a typical infection beside the user's files, and the
// list's menu worked by the user's hand.
class SuspicionMenuTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        MakeFile(L"R:\\autorun.inf", "[autorun]\r\nopen=RECYCLER\\x.exe\r\n", kHidden);
        MakeFolder(L"R:\\RECYCLER", kHidden);
        MakeFile(L"R:\\RECYCLER\\x.exe", "MZ");
        MakeFile(L"R:\\Documentos.lnk",
                 shell_link::Builder().LocalPath("C:\\Windows\\System32\\cmd.exe").Arguments(L"/c start explorer Documentos").Bytes());
        MakeFolder(L"R:\\Documentos", kHidden);
        MakeFile(L"R:\\notas.txt");
        WithTheMainWindow::SetUp();
        Click(designed::mvSALL);
        Settle();
    }

    std::vector<std::wstring> MarkedLines() {
        std::vector<std::wstring> marked;
        for (int line = 0; line < List().ListCount(); ++line) {
            // As another process reads the check box: the list view's own state.
            if (ListView_GetCheckState(List().hWnd(), line)) marked.push_back(List().List(line));
        }
        std::sort(marked.begin(), marked.end());
        return marked;
    }
    void Choose(const std::wstring& item) {
        menu_.Choose(OnLine(0), item);
        Settle();
    }
    std::wstring TipOf(const std::wstring& line) {
        int index = 0;
        while (List().List(index) != line) ++index;
        const POINT point = OnLine(index);
        SendMouse(point, 0);
        SendMouse({point.x + 1, point.y}, 0);
        LineTip::ShowNow(List().TipWindow());
        PumpMessages();
        return TextOf(List().TipWindow());
    }

    ListMenu menu_;
};

TEST_F(SuspicionMenuTest, TheSuspiciousAreMarkedAloneTheReasonIsInTheirTipAndNothingChangesOnTheDrive) {
    Mark({L"R:\\notas.txt"});

    Choose(L"Marcar lo sospechoso");

    EXPECT_EQ(MarkedLines(), (std::vector<std::wstring>{L"R:\\Documentos.lnk", L"R:\\RECYCLER", L"R:\\autorun.inf"}));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].kind, ScriptedDialogs::Kind::Information);
    EXPECT_EQ(dialogs_.messages[0].text,
              L"Se marcaron 3 elementos sospechosos. Pase el puntero sobre cada uno para ver por qué.");
    EXPECT_EQ(TipOf(L"R:\\RECYCLER"), L"Sospechoso: carpeta con el programa que abren los accesos directos");
    EXPECT_EQ(TipOf(L"R:\\Documentos.lnk").rfind(L"Sospechoso: acceso directo que ejecuta un programa\r\n"
                                                 L"Atención: ejecuta un programa\r\nAbre: ",
                                                 0),
              0u);
    EXPECT_EQ(TipOf(L"R:\\notas.txt"), L"");
    EXPECT_EQ(::GetFileAttributesW(L"R:\\RECYCLER") & kHidden, kHidden);
    EXPECT_EQ(::GetFileAttributesW(L"R:\\autorun.inf") & kHidden, kHidden);
}

TEST_F(SuspicionMenuTest, WhatTheMalwareHidIsMarkedAloneAndAListingAgainForgetsTheReasons) {
    Choose(L"Marcar lo sospechoso");
    // Both markings always, a separator, then unhiding (no line marked) and undo (nothing to undo) greyed.
    std::vector<std::pair<std::wstring, bool>> offered;
    for (const ListMenu::Item& item : menu_.Seen()) offered.emplace_back(item.text, !item.text.empty() && item.enabled);
    EXPECT_EQ(offered, (std::vector<std::pair<std::wstring, bool>>{
                           {L"Marcar lo sospechoso", true}, {L"Marcar lo ocultado", true}, {L"", false},
                           {L"Mostrar elementos marcados (quitar oculto y sistema)", false},
                           {L"Deshacer el último cambio de atributos", false}}));
    Choose(L"Marcar lo ocultado");

    EXPECT_EQ(MarkedLines(), std::vector<std::wstring>{L"R:\\Documentos"});
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text,
              L"Se marcó 1 elemento oculto. Para volver a verlo, elija «Mostrar elementos marcados» en este mismo menú.");

    Click(designed::mvSALL);
    Settle();
    EXPECT_EQ(TipOf(L"R:\\RECYCLER"), L"");
}

TEST_F(SuspicionMenuTest, ACleanStickHasNothingToMark) {
    ASSERT_TRUE(TestDrives::Empty(L'R').empty());
    MakeFile(L"R:\\notas.txt");
    Click(designed::mvSALL);
    Settle();

    Choose(L"Marcar lo sospechoso");
    Choose(L"Marcar lo ocultado");

    EXPECT_EQ(MarkedLines(), std::vector<std::wstring>{});
    EXPECT_EQ(dialogs_.Texts(), (std::vector<std::wstring>{L"No se encontró nada sospechoso.", L"No se encontró nada oculto."}));
}

}  // namespace
