#include "frmViewer.h"

#include <commctrl.h>

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "WebSite.h"
#include "Owners.h"
#include "support/MainWindowFixture.h"
#include "support/TestDrives.h"
#include "support/ListMenu.h"
#include "support/StickFiles.h"
#include "support/WindowTestSupport.h"

namespace {

using Lines = std::vector<std::wstring>;

void MakeSizedFile(const std::wstring& path, LONGLONG size) {
    const win32::UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)};
    ASSERT_TRUE(file) << ::GetLastError();
    LARGE_INTEGER end{};
    end.QuadPart = size;
    ASSERT_TRUE(::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.Get()));
}

// An infected stick R: and a second stick S:.
void MakeInfectedSticks() {
    MakeFile(L"R:\\autorun.inf", "", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(L"R:\\RECYCLER\\S-1-5-21");
    MakeFile(L"R:\\RECYCLER\\S-1-5-21\\x.exe", "", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"S:\\notas.txt", "");
}

bool Exists(const wchar_t* path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

void ExpectAt(HWND control, Rect expected, const wchar_t* className) {
    ASSERT_TRUE(::IsWindow(control)) << "missing control of class " << className;
    const RECT actual = RectInParent(control);
    EXPECT_EQ(ClassOf(control), className);
    EXPECT_EQ(actual.left, expected.left) << className;
    EXPECT_EQ(actual.top, expected.top) << className;
    EXPECT_EQ(actual.right - actual.left, expected.width) << className;
    EXPECT_EQ(actual.bottom - actual.top, expected.height) << className;
}

using frmViewerTest = WithTheMainWindow;

TEST_F(frmViewerTest, IsABorderlessCentredWindowOfTheSkinsSizeWithItsCaption) {
    ExpectBorderlessAndCentred(Window(), 602, 451);
    EXPECT_EQ(TextOf(Window()), L"Velquor - Limpiador De Virus Y Copia De Seguridad Para Memorias USB");
}

TEST_F(frmViewerTest, EveryControlLiesAtItsPlaceWithItsClassAndStyle) {
    ExpectAt(form_->lstViewer().hWnd(), designed::lstViewer, WC_LISTVIEWW);
    ExpectAt(form_->txtProp(), designed::txtProp, L"Edit");
    ExpectAt(form_->lblStatus(), designed::lblStatus, L"Static");
    ExpectAt(form_->lblCopySt(), designed::lblCopySt, L"Static");
    ExpectAt(form_->Check1(), designed::Check1, L"Button");
    // picCopy: 6135 x 4695 twips, placed wholly within the client area.
    const RECT panel = RectInParent(form_->picCopy());
    EXPECT_EQ(panel.right - panel.left, 409);
    EXPECT_EQ(panel.bottom - panel.top, 313);
    EXPECT_GE(panel.left, 0);
    EXPECT_GE(panel.top, 0);
    EXPECT_LE(panel.right, 602);
    EXPECT_LE(panel.bottom, 451);

    HWND list = form_->lstViewer().hWnd();
    EXPECT_EQ(::GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(HasStyle(list, LVS_NOCOLUMNHEADER));
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(HasStyle(form_->txtProp(), ES_MULTILINE));
    EXPECT_TRUE(HasStyle(form_->lblStatus(), SS_CENTER));
    EXPECT_FALSE(::IsWindowVisible(form_->picCopy()));
    EXPECT_EQ(::GetParent(form_->lblCopySt()), form_->picCopy());
    EXPECT_EQ(TextOf(form_->txtProp()), L"");
    EXPECT_EQ(TextOf(form_->lblStatus()), L"");
}

TEST_F(frmViewerTest, TabGoesFromThePropertiesBoxToTheListToCheck1) {
    ::SetFocus(form_->txtProp());
    EXPECT_EQ(::GetNextDlgTabItem(Window(), form_->txtProp(), FALSE), form_->lstViewer().hWnd());
    EXPECT_EQ(::GetNextDlgTabItem(Window(), form_->lstViewer().hWnd(), FALSE), form_->Check1());
}

TEST_F(frmViewerTest, TheBannerOpensTheWebPageOwnedByTheWindow) {
    Click(designed::Image1);

    ASSERT_EQ(calls_.opened.size(), 1u);
    EXPECT_EQ(calls_.opened[0].owner, Window());
    EXPECT_EQ(calls_.opened[0].address, kWebPageAddress);
    EXPECT_NE(calls_.opened[0].address.find(L"/seguridad-memorias-usb-flash-drives.html"), std::wstring::npos);
    EXPECT_EQ(calls_.opened[0].address.rfind(L"http://", 0), 0u);
}

TEST_F(frmViewerTest, TheXEndsTheProgramAndSoDoesClosingByTheSystem) {
    Click(designed::Image4);
    EXPECT_EQ(calls_.endRequests, 1);

    ::SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(calls_.endRequests, 2);
}

TEST_F(frmViewerTest, TheDashMinimisesAndRestoringPutsTheWindowBackWhereItWas) {
    const RECT before = WindowRect(Window());

    Click(designed::Image5);
    EXPECT_TRUE(::IsIconic(Window()));

    ::ShowWindow(Window(), SW_RESTORE);
    EXPECT_FALSE(::IsIconic(Window()));
    const RECT after = WindowRect(Window());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(frmViewerTest, AClickNeedsPressAndReleaseOfTheLeftButtonOnTheSameHotSpot) {
    const POINT banner = CentreOf(designed::Image1);
    const POINT cross = CentreOf(designed::Image4);
    ::SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(banner.x, banner.y));
    ::SendMessageW(Window(), WM_LBUTTONUP, 0, PointParam(cross.x, cross.y));

    EXPECT_TRUE(calls_.opened.empty());
    EXPECT_EQ(calls_.endRequests, 0);

    // The right button pressed and let go while the left one holds the banner.
    const LPARAM onBanner = PointParam(banner.x, banner.y);
    ::SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, onBanner);
    ::SendMessageW(Window(), WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, onBanner);
    ::SendMessageW(Window(), WM_RBUTTONUP, MK_LBUTTON, onBanner);
    EXPECT_TRUE(calls_.opened.empty()) << "the right button's release clicked";

    ::SendMessageW(Window(), WM_LBUTTONUP, 0, onBanner);
    EXPECT_EQ(calls_.opened.size(), 1u);
}

// The monitor and the help window, each opened by its hot spot and closed by its cross.
struct OtherWindow {
    const char* name;
    Rect hotSpot;
    SkinnedWindow* (*of)(const frmViewer&);
    const wchar_t* className;
    POINT cross;
    SIZE size;
};
const OtherWindow kOtherWindows[] = {
    {"monitor", designed::Image2, [](const frmViewer& main) -> SkinnedWindow* { return main.monitor(); },
     L"VelquorMonitor", {(2880 + 375 / 2) / 15, 375 / 2 / 15}, {216, 217}},
    {"help", designed::Image3, [](const frmViewer& main) -> SkinnedWindow* { return main.help(); },
     L"VelquorHelp", {(7440 + 375 / 2) / 15, (120 + 255 / 2) / 15}, {525, 371}},
};

TEST_F(frmViewerTest, EachOtherWindowOpensOnceAndASecondClickBringsItBackToTheFront) {
    for (const OtherWindow& other : kOtherWindows) {
        SCOPED_TRACE(other.name);
        Click(other.hotSpot);
        ASSERT_NE(other.of(*form_), nullptr);
        const HWND opened = other.of(*form_)->hWnd();
        EXPECT_TRUE(::IsWindowVisible(opened));
        EXPECT_EQ(::GetWindow(opened, GW_OWNER), nullptr);
        ::ShowWindow(opened, SW_MINIMIZE);
        ::SetForegroundWindow(Window());
        ASSERT_EQ(::GetForegroundWindow(), Window());

        Click(other.hotSpot);

        ASSERT_NE(other.of(*form_), nullptr);
        EXPECT_EQ(other.of(*form_)->hWnd(), opened);
        EXPECT_EQ(WindowsOfClass(other.className), 1);
        EXPECT_FALSE(::IsIconic(opened));
        EXPECT_EQ(::GetForegroundWindow(), opened);
    }
}

TEST_F(frmViewerTest, EachOtherWindowClosedIsForgottenAndReopensAfreshCentredAndHooked) {
    for (const OtherWindow& other : kOtherWindows) {
        SCOPED_TRACE(other.name);
        Click(other.hotSpot);
        ASSERT_NE(other.of(*form_), nullptr);
        const HWND first = other.of(*form_)->hWnd();
        ::SetWindowPos(first, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ClickCheck1(other.of(*form_)->Check1());

        ClickAt(first, other.cross.x, other.cross.y);
        PumpMessages();
        EXPECT_EQ(other.of(*form_), nullptr);
        EXPECT_FALSE(::IsWindow(first));

        Click(other.hotSpot);
        ASSERT_NE(other.of(*form_), nullptr);
        ExpectBorderlessAndCentred(other.of(*form_)->hWnd(), other.size.cx, other.size.cy);
        EXPECT_EQ(AskAutoPlay(other.of(*form_)->hWnd()), -1);
    }
}

// Counts the system commands that reach the system and stops them there: a move or a size would
// wait in a loop of its own for the user's keys.
int systemCommandsPassedOn = 0;
LRESULT CALLBACK StopSystemCommands(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_SYSCOMMAND) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    ++systemCommandsPassedOn;
    return TRUE;
}

// Each system menu (Alt+Space, the taskbar's) offers only what its window allows, and what it
// leaves out is refused when asked another way (Alt+F8, another program).
TEST_F(frmViewerTest, EachSystemMenuOffersOnlyWhatItsWindowAllows) {
    ClickVerEstado();
    ClickQuestionMark();
    ASSERT_TRUE(form_->monitor() && form_->help());
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &StopSystemCommands, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    // Each window, whether it moves and whether it minimises; none is sized or maximised.
    for (const auto& [window, moves, minimises] : {std::tuple{Window(), true, true},
                                                   std::tuple{form_->monitor()->hWnd(), false, false},
                                                   std::tuple{form_->help()->hWnd(), true, false}}) {
        for (const auto& [command, allowed] : {std::pair{SC_SIZE, false}, std::pair{SC_MAXIMIZE, false},
                                               std::pair{SC_MOVE, moves}, std::pair{SC_MINIMIZE, minimises}}) {
            SCOPED_TRACE(::testing::Message() << TextOf(window) << ", command " << std::hex << command);
            EXPECT_EQ(::GetMenuState(::GetSystemMenu(window, FALSE), command, MF_BYCOMMAND) != ~0u, allowed);
            if (allowed) continue;
            systemCommandsPassedOn = 0;
            ::SendMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
            EXPECT_EQ(systemCommandsPassedOn, 0) << "passed on to the system";
        }
    }
    ::UnhookWindowsHookEx(hook);
}

// The view commands on the suite's drives.
class ViewCommandsTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        WithTheMainWindow::SetUp();
    }
};

TEST_F(ViewCommandsTest, EachViewButtonFillsTheListAndTheStatus) {
    MakeFile(L"R:\\autorun.inf", "", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"S:\\notas.txt", "");
    MakeFolder(L"S:\\Fotos");

    Click(designed::mvSALL);
    EXPECT_EQ(ListedLines(), (Lines{L"R:\\RECYCLER", L"S:\\Fotos", L"R:\\autorun.inf", L"S:\\notas.txt"}));
    EXPECT_EQ(Status(), L"4 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(form_->ViewMode(), Listed::FoldersThenFiles);

    Click(designed::mvSFLD);
    EXPECT_EQ(ListedLines(), (Lines{L"R:\\RECYCLER", L"S:\\Fotos"}));
    EXPECT_EQ(Status(), L"2 Carpetas Encontradas!");
    EXPECT_EQ(form_->ViewMode(), Listed::Folders);

    Click(designed::mvSFLS);
    EXPECT_EQ(ListedLines(), (Lines{L"R:\\autorun.inf", L"S:\\notas.txt"}));
    EXPECT_EQ(Status(), L"2 Archivos Encontrados!");
    EXPECT_EQ(form_->ViewMode(), Listed::Files);
}

// The count is read as another process (a screen reader) reads the list view: right after the
// command, with no batch drawn by the timer since.
TEST_F(ViewCommandsTest, TheStatusNeverCountsLinesTheListViewDoesNotHoldYet) {
    for (int i = 0; i < 3000; ++i) MakeFile(L"R:\\f" + std::to_wstring(i));

    Click(designed::mvSFLS);

    EXPECT_EQ(Status(), L"3000 Archivos Encontrados!");
    EXPECT_EQ(ListView_GetItemCount(List().hWnd()), 3000);
}

TEST_F(ViewCommandsTest, EmptyDrivesGiveZeroAndThePropertiesBoxIsLeftAlone) {
    ::SetWindowTextW(form_->txtProp(), L"Fecha De Creación: (1/2/2026)");

    Click(designed::mvSALL);

    EXPECT_EQ(form_->lstViewer().ListCount(), 0);
    EXPECT_EQ(Status(), L"0 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(TextOf(form_->txtProp()), L"Fecha De Creación: (1/2/2026)");
}

TEST_F(ViewCommandsTest, AViewButtonIsIgnoredWhileAListingIsUnderWay) {
    for (int i = 0; i < 50; ++i) MakeFile(L"R:\\f" + std::to_wstring(i));
    // Each yield of the listing lets a waiting click through: clicks on "VER SOLO CARPETAS" posted
    // now arrive in the middle of "VER SOLO ARCHIVOS".
    PostClick(designed::mvSFLD);

    Click(designed::mvSFLS);
    PumpMessages();

    EXPECT_EQ(form_->lstViewer().ListCount(), 50);
    EXPECT_EQ(Status(), L"50 Archivos Encontrados!");
    EXPECT_EQ(form_->ViewMode(), Listed::Files);
}

TEST_F(ViewCommandsTest, TheXIsHeardInTheMiddleOfAListing) {
    for (int i = 0; i < 20; ++i) MakeFile(L"R:\\f" + std::to_wstring(i));
    int linesWhenEnded = -1;
    calls_.onEnd = [&] { linesWhenEnded = form_->lstViewer().ListCount(); };
    PostClick(designed::Image4);

    Click(designed::mvSFLS);

    EXPECT_EQ(linesWhenEnded, 0) << "the end request waited for the listing";
}

// Without double clicks for the window: two quick clicks on a hot spot run its command twice.
TEST_F(ViewCommandsTest, ADoubleClickOnAHotSpotIsTwoClicks) {
    MakeFile(L"R:\\a.txt", "");
    MakeFile(L"R:\\b.txt", "");
    Click(designed::mvSFLS);
    Mark({L"R:\\a.txt"});
    const std::vector<bool> before = Marks();
    const POINT invert = OnScreen(CentreOf(designed::cmdInvAll));

    RealClick(invert);
    EXPECT_NE(Marks(), before);
    RealClick(invert);  // at once: within the double-click time and place

    EXPECT_EQ(Marks(), before) << "inverted twice";
}

// The properties box and the marking buttons on a listed drive.
class PropertiesTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        WithTheMainWindow::SetUp();
        MakeFolder(L"R:\\Fotos");
        MakeSizedFile(L"R:\\notas.txt", 5000000);
        MakeSizedFile(L"R:\\vacio.txt", 0);
        Click(designed::mvSALL);
        Settle();
    }
    // What the properties box shows once its paced text is drawn.
    std::wstring Properties() {
        Settle();
        return TextOf(form_->txtProp());
    }
};

TEST_F(PropertiesTest, ClickingALineShowsItsEntrysFacts) {
    RealClick(OnLine(1));  // R:\notas.txt

    const std::wstring text = Properties();
    EXPECT_TRUE(text.starts_with(L"Tamaño: (4")) << text;
    EXPECT_NE(text.find(L"74 MB) Fecha De Creación: ("), std::wstring::npos) << text;
    EXPECT_NE(text.find(L") Tipo De Archivo: ("), std::wstring::npos) << text;

    RealClick(OnLine(0));  // R:\Fotos
    EXPECT_TRUE(Properties().starts_with(L"Fecha De Creación: (")) << Properties();
    EXPECT_EQ(Properties().find(L"Tamaño"), std::wstring::npos);
}

TEST_F(PropertiesTest, ClickingACheckBoxAndMovingWithTheKeysShowTheFactsToo) {
    RealClick(OnLine(2, LVIR_ICON));  // the check box of R:\vacio.txt
    EXPECT_TRUE(form_->lstViewer().Selected(2));
    EXPECT_TRUE(Properties().starts_with(L"Tamaño: (0 Bytes) Fecha De Creación: (")) << Properties();

    ::SendMessageW(List().hWnd(), WM_KEYDOWN, VK_UP, 0);  // to R:\notas.txt
    EXPECT_EQ(form_->lstViewer().ListIndex(), 1);
    EXPECT_TRUE(Properties().starts_with(L"Tamaño: (4")) << Properties();
}

TEST_F(PropertiesTest, TheMarkingButtonsWalkTheListAndEndOnTheFirstLine) {
    RealClick(OnLine(2));

    Click(designed::cmdSelAll);
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(form_->lstViewer().ListIndex(), 0);
    EXPECT_TRUE(Properties().starts_with(L"Fecha De Creación: (")) << "the first line's facts";

    form_->lstViewer().SetSelected(1, false);
    Click(designed::cmdInvAll);
    EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));

    Settle();
    EXPECT_TRUE(ListView_GetCheckState(List().hWnd(), 1)) << "the check boxes show the marks";

    Click(designed::cmdClearAll);
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
}

TEST_F(PropertiesTest, TheUsersDecimalSeparatorIsUsed) {
    wchar_t before[8] = L"";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before, 8);
    ASSERT_TRUE(::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, L","));

    RealClick(OnLine(1));
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before);

    EXPECT_TRUE(Properties().starts_with(L"Tamaño: (4,74 MB) ")) << Properties();
}

// "BORRAR ARCHIVO(S)" on the suite's drives, with the message boxes answered by the test.
class DeletionTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        WithTheMainWindow::SetUp();
        MakeInfectedSticks();
        Click(designed::mvSALL);
    }
};

TEST_F(DeletionTest, YesDeletesProtectedEntriesAtAnyDepthAndRelistsTheSameView) {
    Mark({L"R:\\RECYCLER", L"R:\\autorun.inf"});
    dialogs_.answers = {true};

    Click(designed::cmdDeleteSel);

    EXPECT_FALSE(Exists(L"R:\\RECYCLER"));
    EXPECT_FALSE(Exists(L"R:\\autorun.inf"));
    EXPECT_TRUE(Exists(L"S:\\notas.txt"));
    EXPECT_EQ(ListedLines(), Lines{L"S:\\notas.txt"});
    EXPECT_EQ(Marks(), std::vector<bool>{false});
    EXPECT_EQ(Status(), L"1 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(form_->ViewMode(), Listed::FoldersThenFiles);
    EXPECT_EQ(dialogs_.messages.size(), 1u) << "no message tells the outcome";
}

TEST_F(DeletionTest, AFileHeldOpenIsKeptAndListedAgainUnmarked) {
    const win32::UniqueFile held{::CreateFileW(L"S:\\notas.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr)};
    ASSERT_TRUE(held);
    Click(designed::mvSFLS);
    Mark({L"R:\\autorun.inf", L"S:\\notas.txt"});
    dialogs_.answers = {true};

    Click(designed::cmdDeleteSel);

    EXPECT_FALSE(Exists(L"R:\\autorun.inf"));
    EXPECT_TRUE(Exists(L"S:\\notas.txt"));
    EXPECT_EQ(ListedLines(), Lines{L"S:\\notas.txt"});
    EXPECT_EQ(Marks(), std::vector<bool>{false});
    EXPECT_EQ(Status(), L"1 Archivos Encontrados!");
}

TEST_F(DeletionTest, EverythingDeletedLeavesZeroAndAnEmptyPropertiesBox) {
    Mark(ListedLines());
    dialogs_.answers = {true};

    Click(designed::cmdDeleteSel);
    Settle();

    EXPECT_EQ(ListedLines(), Lines{});
    EXPECT_EQ(Status(), L"0 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(TextOf(form_->txtProp()), L"");
}

// "COPIAR ARCHIVO(S)" from R: into S:\Copia, chosen in the (scripted) folder picker.
class CopyTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        WithTheMainWindow::SetUp();
        MakeInfectedSticks();
        MakeFolder(L"S:\\Copia");
        dialogs_.chosenFolder = L"S:\\Copia";
        Click(designed::mvSALL);
    }
};

TEST_F(CopyTest, MarkedEntriesAreCopiedWithTheCaptionAndPanelOfACopy) {
    Mark({L"R:\\autorun.inf", L"R:\\RECYCLER"});
    dialogs_.answers = {true};
    std::vector<std::wstring> captionsAsked;
    dialogs_.onQuestion = [&] { captionsAsked.push_back(TextOf(Window())); };

    Click(designed::cmdCopy);

    ASSERT_EQ(dialogs_.pickers.size(), 1u);
    EXPECT_EQ(dialogs_.pickers[0].title, L"Por favor, seleccione ruta de destino.");
    EXPECT_EQ(dialogs_.pickers[0].startFolder, L"");
    EXPECT_EQ(captionsAsked, std::vector<std::wstring>{L"S:\\Copia"});
    EXPECT_EQ(dialogs_.messages.back().text, L"Estás seguro de que desea copiar los archivos seleccionados?");
    EXPECT_TRUE(Exists(L"S:\\Copia\\autorun.inf"));
    EXPECT_TRUE(Exists(L"S:\\Copia\\RECYCLER\\S-1-5-21\\x.exe"));
    EXPECT_FALSE(Exists(L"S:\\Copia\\notas.txt"));
    EXPECT_EQ(TextOf(Window()), L"Dravello");
    EXPECT_FALSE(::IsWindowVisible(form_->picCopy()));
    EXPECT_EQ(TextOf(form_->lblCopySt()), L"100% Completed");
    EXPECT_EQ(dialogs_.messages.size(), 1u) << "a copy that went well says nothing";
}

TEST_F(CopyTest, WhatCouldNotBeCopiedIsToldInOneMessage) {
    Mark({L"R:\\autorun.inf", L"S:\\notas.txt"});
    ASSERT_TRUE(::DeleteFileW(L"S:\\notas.txt"));
    dialogs_.answers = {true};

    Click(designed::cmdCopy);

    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text,
              L"No se pudieron copiar estos elementos:\nS:\\notas.txt (El elemento ya no existe.)");
    EXPECT_TRUE(Exists(L"S:\\Copia\\autorun.inf"));
}

// The list's menu, on the suite's drive: unhiding and undo, and the keys that open it.
class UnhideMenuTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        WithTheMainWindow::SetUp();
        MakeFolder(L"R:\\Documentos", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        MakeFile(L"R:\\Documentos\\carta.txt", "", FILE_ATTRIBUTE_HIDDEN);
        MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        Click(designed::mvSFLD);
        Settle();
    }
    static DWORD AttributesOf(const wchar_t* path) { return ::GetFileAttributesW(path); }
    static void PressKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
        for (const auto& [key, down] : keys) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
            ::SendInput(1, &input, sizeof input);
        }
        PumpMessages();
    }
    ListMenu menu_;
};

constexpr wchar_t kShowMarked[] = L"Mostrar elementos marcados (quitar oculto y sistema)";
constexpr wchar_t kUndo[] = L"Deshacer el último cambio de atributos";

TEST_F(UnhideMenuTest, UnhidingShowsTheMarkedFolderThroughoutAndUndoHidesItAgain) {
    Mark({L"R:\\Documentos"});

    menu_.Choose(OnLine(0), kShowMarked);

    EXPECT_EQ(AttributesOf(L"R:\\Documentos") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_EQ(AttributesOf(L"R:\\Documentos\\carta.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(AttributesOf(L"R:\\RECYCLER") & FILE_ATTRIBUTE_HIDDEN, 0u) << "an unmarked folder stays hidden";
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false})) << "relisted, marks cleared";
    EXPECT_EQ(Status(), L"2 Carpetas Encontradas!");

    menu_.Choose(OnLine(0), kUndo);

    EXPECT_NE(AttributesOf(L"R:\\Documentos") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(AttributesOf(L"R:\\Documentos") & FILE_ATTRIBUTE_SYSTEM, 0u);
    EXPECT_NE(AttributesOf(L"R:\\Documentos\\carta.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(UnhideMenuTest, ShiftF10AndTheMenuKeyOpenTheMenuFromTheKeyboard) {
    ::SetForegroundWindow(Window());
    ::SetFocus(form_->lstViewer().hWnd());

    PressKeys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
    EXPECT_FALSE(menu_.Seen().empty()) << "Shift+F10 did not open the menu";

    menu_.Forget();
    PressKeys({{VK_APPS, true}, {VK_APPS, false}});
    EXPECT_FALSE(menu_.Seen().empty()) << "the menu key did not open the menu";
}

// Drags of the main window, as the mouse messages give them and as the user's hand does.
class DragTest : public WithTheMainWindow {
protected:
    // A bare spot of the skin: between the face and the view buttons.
    static constexpr POINT kBare{60, 240};

    POINT MovedByDragFrom(POINT client) {
        return MovedBy([&] { RealDrag(OnScreen(client), 30, 20); });
    }
};

TEST_F(DragTest, TheLeftButtonDragsTheWindowByThePointersOffset) {
    const POINT moved = MovedBy([&] { DragWith(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kBare, 25, -12); });

    EXPECT_EQ(form_->DragAnchorX, kBare.x);
    EXPECT_EQ(form_->DragAnchorY, kBare.y);
    EXPECT_EQ(moved, (POINT{25, -12}));
}

TEST_F(DragTest, RightButtonOrTwoButtonsOrAMaximisedWindowDoNotMoveIt) {
    EXPECT_EQ(MovedBy([&] { DragWith(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, kBare, 30, 30); }), (POINT{0, 0}));
    EXPECT_EQ(MovedBy([&] { DragWith(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_RBUTTON, kBare, 30, 30); }),
              (POINT{0, 0}));

    ::ShowWindow(Window(), SW_MAXIMIZE);
    EXPECT_EQ(MovedBy([&] { DragWith(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kBare, 30, 30); }), (POINT{0, 0}));
}

TEST_F(DragTest, APressOnAnyHotSpotDoesNotDrag) {
    for (const Rect spot : {designed::cmdSelAll, designed::cmdInvAll, designed::cmdClearAll,
                            designed::cmdCopy, designed::cmdDeleteSel, designed::mvSFLS,
                            designed::mvSFLD, designed::Image2, designed::Image3}) {
        const POINT moved = MovedBy([&] { DragWith(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, CentreOf(spot), 40, 40); });
        EXPECT_EQ(moved, (POINT{0, 0})) << "hot spot at " << spot.left << "," << spot.top;
    }
}

TEST_F(DragTest, WithTheMouseOnlyTheBareSkinDragsItNotTheControls) {
    ::SetWindowTextW(form_->lblStatus(), L"4 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(MovedByDragFrom(kBare), (POINT{30, 20}));
    for (const Rect control : {designed::lstViewer, designed::txtProp, designed::lblStatus}) {
        EXPECT_EQ(MovedByDragFrom(CentreOf(control)), (POINT{0, 0}))
            << "from the control at " << control.left << "," << control.top;
    }
}

TEST_F(DragTest, TheProgressPanelAndItsLabelDoNotDragWhileShown) {
    ::ShowWindow(form_->picCopy(), SW_SHOWNA);
    const RECT panel = RectInParent(form_->picCopy());
    const RECT label = RectInParent(form_->lblCopySt());
    const POINT onPanel{panel.left + 20, panel.top + 20};
    const POINT onLabel{panel.left + (label.left + label.right) / 2, panel.top + (label.top + label.bottom) / 2};

    for (const POINT from : {onPanel, onLabel}) {
        EXPECT_EQ(MovedByDragFrom(from), (POINT{0, 0})) << "from " << from.x << "," << from.y;
    }
}

using Check1Test = WithTheMainWindow;

TEST_F(Check1Test, EachWindowStartsTickedAndHookedAndItsCheck1UnhooksOnlyIt) {
    ClickVerEstado();
    ClickQuestionMark();
    ASSERT_TRUE(form_->monitor() && form_->help());
    const SkinnedWindow* const windows[] = {form_.get(), form_->monitor(), form_->help()};
    for (const SkinnedWindow* unticked : windows) {
        SCOPED_TRACE(TextOf(unticked->hWnd()));
        EXPECT_EQ(::SendMessageW(unticked->Check1(), BM_GETCHECK, 0, 0), BST_CHECKED);
        ClickCheck1(unticked->Check1());
        for (const SkinnedWindow* window : windows) {
            EXPECT_EQ(AskAutoPlay(window->hWnd()), window == unticked ? 0 : -1) << "0: the window's ordinary answer";
        }
        ClickCheck1(unticked->Check1());
        EXPECT_EQ(AskAutoPlay(unticked->hWnd()), -1) << "ticked again";
    }
}

TEST_F(Check1Test, GreyedLeavesTheHookAsItIs) {
    ::SendMessageW(form_->Check1(), BM_SETCHECK, BST_INDETERMINATE, 0);
    form_->Check1_Click();
    EXPECT_EQ(AskAutoPlay(Window()), -1);

    ClickCheck1(form_->Check1());  // from grey, a click ticks
    ClickCheck1(form_->Check1());
    ASSERT_EQ(::SendMessageW(form_->Check1(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::SendMessageW(form_->Check1(), BM_SETCHECK, BST_INDETERMINATE, 0);
    form_->Check1_Click();
    EXPECT_EQ(AskAutoPlay(Window()), 0);
}

}  // namespace
