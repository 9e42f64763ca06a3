#include "frmViewer.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WebSite.h"
#include "Owners.h"
#include "support/MainWindowFixture.h"
#include "support/RecordingSystemCalls.h"
#include "support/TestDrives.h"
#include "support/WindowTestSupport.h"

namespace {


// Where the main window's parts lie, in twips as the window was designed (15 twips to a pixel).
Rect FromTwips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}
namespace designed {
const Rect lstViewer = FromTwips(120, 120, 4665, 3180);
const Rect txtProp = FromTwips(4920, 720, 3855, 1410);
const Rect lblStatus = FromTwips(4800, 120, 2775, 495);
const Rect cmdSelAll = FromTwips(2160, 4200, 1695, 135);
const Rect cmdInvAll = FromTwips(3960, 4200, 1695, 135);
const Rect cmdClearAll = FromTwips(5760, 4200, 1815, 135);
const Rect cmdCopy = FromTwips(3960, 4440, 1695, 255);
const Rect cmdDeleteSel = FromTwips(5880, 4440, 1695, 255);
const Rect mvSFLS = FromTwips(1920, 4800, 2175, 255);
const Rect mvSFLD = FromTwips(1920, 5160, 2175, 255);
const Rect mvSALL = FromTwips(1920, 5640, 2175, 255);
const Rect Image2 = FromTwips(5280, 5160, 1095, 255);
const Rect Image1 = FromTwips(120, 6240, 5055, 495);
const Rect Image3 = FromTwips(7920, 120, 255, 255);
const Rect Image5 = FromTwips(8280, 120, 255, 255);
const Rect Image4 = FromTwips(8640, 120, 375, 255);
const Rect lblCopySt = FromTwips(0, 2280, 6015, 375);  // inside picCopy
const Rect Check1 = FromTwips(8880, 7560, 495, 255);
}  // namespace designed

// The main window created in-process, with the world outside it recorded.
class frmViewerTest : public WithTheMainWindow {
protected:
    static POINT CentreOf(Rect rect) { return {rect.left + rect.width / 2, rect.top + rect.height / 2}; }
    void Click(Rect rect) {
        const POINT centre = CentreOf(rect);
        ClickAt(Main(), centre.x, centre.y);
    }
    POINT OnScreen(POINT client) const {
        ::ClientToScreen(Main(), &client);
        return client;
    }
};

void ExpectAt(HWND control, Rect expected, const wchar_t* className) {
    ASSERT_TRUE(::IsWindow(control)) << "missing control of class " << className;
    const RECT actual = RectInParent(control);
    EXPECT_EQ(ClassOf(control), className);
    EXPECT_EQ(actual.left, expected.left) << className;
    EXPECT_EQ(actual.top, expected.top) << className;
    EXPECT_EQ(actual.right - actual.left, expected.width) << className;
    EXPECT_EQ(actual.bottom - actual.top, expected.height) << className;
}


TEST_F(frmViewerTest, IsABorderlessCentredWindowOfTheSkinsSizeWithItsCaption) {
    ExpectBorderlessAndCentred(Main(), 602, 451);
    EXPECT_EQ(TextOf(Main()), L"Velquor - Limpiador De Virus Y Copia De Seguridad Para Memorias USB");
}

TEST_F(frmViewerTest, EveryControlLiesAtItsPlaceWithItsClassAndStyle) {
    ExpectAt(window_->lstViewer().hWnd(), designed::lstViewer, WC_LISTVIEWW);
    ExpectAt(window_->txtProp(), designed::txtProp, L"Edit");
    ExpectAt(window_->lblStatus(), designed::lblStatus, L"Static");
    ExpectAt(window_->lblCopySt(), designed::lblCopySt, L"Static");
    ExpectAt(window_->Check1(), designed::Check1, L"Button");
    // picCopy: 6135 x 4695 twips, placed wholly within the client area.
    const RECT panel = RectInParent(window_->picCopy());
    EXPECT_EQ(panel.right - panel.left, 409);
    EXPECT_EQ(panel.bottom - panel.top, 313);
    EXPECT_GE(panel.left, 0);
    EXPECT_GE(panel.top, 0);
    EXPECT_LE(panel.right, 602);
    EXPECT_LE(panel.bottom, 451);

    HWND list = window_->lstViewer().hWnd();
    EXPECT_EQ(::GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(HasStyle(list, LVS_NOCOLUMNHEADER));
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(HasStyle(window_->txtProp(), ES_MULTILINE | ES_READONLY));
    EXPECT_TRUE(HasStyle(window_->lblStatus(), SS_CENTER));
    EXPECT_FALSE(::IsWindowVisible(window_->picCopy()));
    EXPECT_EQ(::GetParent(window_->lblCopySt()), window_->picCopy());
    EXPECT_EQ(TextOf(window_->txtProp()), L"");
    EXPECT_EQ(TextOf(window_->lblStatus()), L"");
}

TEST_F(frmViewerTest, TabGoesFromThePropertiesBoxToTheListToCheck1) {
    ::SetFocus(window_->txtProp());
    EXPECT_EQ(::GetNextDlgTabItem(Main(), window_->txtProp(), FALSE), window_->lstViewer().hWnd());
    EXPECT_EQ(::GetNextDlgTabItem(Main(), window_->lstViewer().hWnd(), FALSE), window_->Check1());
}

TEST_F(frmViewerTest, TheBannerOpensTheWebPageOwnedByTheWindow) {
    Click(designed::Image1);

    ASSERT_EQ(calls_.opened.size(), 1u);
    EXPECT_EQ(calls_.opened[0].owner, Main());
    EXPECT_EQ(calls_.opened[0].address, kWebPageAddress);
    EXPECT_NE(calls_.opened[0].address.find(L"/seguridad-memorias-usb-flash-drives.html"), std::wstring::npos);
    EXPECT_EQ(calls_.opened[0].address.rfind(L"http://", 0), 0u);
}

TEST_F(frmViewerTest, TheXEndsTheProgramAndSoDoesClosingByTheSystem) {
    Click(designed::Image4);
    EXPECT_EQ(calls_.endRequests, 1);

    ::SendMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(calls_.endRequests, 2);
}

TEST_F(frmViewerTest, TheDashMinimisesAndRestoringPutsTheWindowBackWhereItWas) {
    const RECT before = WindowRect(Main());

    Click(designed::Image5);
    EXPECT_TRUE(::IsIconic(Main()));

    ::ShowWindow(Main(), SW_RESTORE);
    EXPECT_FALSE(::IsIconic(Main()));
    const RECT after = WindowRect(Main());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(frmViewerTest, AClickNeedsPressAndReleaseOnTheSameHotSpot) {
    const POINT banner = CentreOf(designed::Image1);
    const POINT cross = CentreOf(designed::Image4);
    ::SendMessageW(Main(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(banner.x, banner.y));
    ::SendMessageW(Main(), WM_LBUTTONUP, 0, PointParam(cross.x, cross.y));

    EXPECT_TRUE(calls_.opened.empty());
    EXPECT_EQ(calls_.endRequests, 0);
}

// The view commands on the suite's drives: R: and S: removable, T: removable but not ready.
class ViewCommandsTest : public frmViewerTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
        for (wchar_t drive : {L'R', L'S'}) ASSERT_TRUE(TestDrives::Empty(drive).empty());
        frmViewerTest::SetUp();
    }
    static void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot make " << ::GetLastError();
        ::CloseHandle(file);
    }
    static void MakeFolder(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << ::GetLastError();
        ::SetFileAttributesW(path.c_str(), attributes);
    }
    std::vector<std::wstring> ListedLines() {
        std::vector<std::wstring> lines;
        for (int i = 0; i < window_->lstViewer().ListCount(); ++i) lines.push_back(window_->lstViewer().List(i));
        return lines;
    }
    std::wstring Status() const { return TextOf(window_->lblStatus()); }
    std::vector<bool> Marks() {
        std::vector<bool> marks;
        for (int i = 0; i < window_->lstViewer().ListCount(); ++i) marks.push_back(window_->lstViewer().Selected(i));
        return marks;
    }
};

using Lines = std::vector<std::wstring>;

TEST_F(ViewCommandsTest, EachViewButtonFillsTheListAndTheStatus) {
    MakeFile(L"R:\\autorun.inf", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"S:\\notas.txt");
    MakeFolder(L"S:\\Fotos");

    Click(designed::mvSALL);
    EXPECT_EQ(ListedLines(), (Lines{L"R:\\RECYCLER", L"S:\\Fotos", L"R:\\autorun.inf", L"S:\\notas.txt"}));
    EXPECT_EQ(Status(), L"4 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(window_->ViewMode(), Listed::FoldersThenFiles);

    Click(designed::mvSFLD);
    EXPECT_EQ(ListedLines(), (Lines{L"R:\\RECYCLER", L"S:\\Fotos"}));
    EXPECT_EQ(Status(), L"2 Carpetas Encontradas!");
    EXPECT_EQ(window_->ViewMode(), Listed::Folders);

    Click(designed::mvSFLS);
    EXPECT_EQ(ListedLines(), (Lines{L"R:\\autorun.inf", L"S:\\notas.txt"}));
    EXPECT_EQ(Status(), L"2 Archivos Encontrados!");
    EXPECT_EQ(window_->ViewMode(), Listed::Files);
}

TEST_F(ViewCommandsTest, ListedLinesAreUnmarkedAndTheirMarksAreTheListViewsCheckBoxes) {
    MakeFile(L"R:\\a.txt");
    MakeFile(L"R:\\b.txt");
    Click(designed::mvSFLS);
    PumpFor(300);  // the list draws its lines in batches
    HWND list = window_->lstViewer().hWnd();
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_FALSE(ListView_GetCheckState(list, 0));

    window_->lstViewer().SetSelected(0, true);
    window_->lstViewer().SetSelected(1, true);
    EXPECT_TRUE(ListView_GetCheckState(list, 1));

    Click(designed::mvSFLS);
    EXPECT_FALSE(window_->lstViewer().Selected(0));
    EXPECT_FALSE(window_->lstViewer().Selected(1));
}

TEST_F(ViewCommandsTest, EmptyDrivesGiveZeroAndThePropertiesBoxIsLeftAlone) {
    ::SetWindowTextW(window_->txtProp(), L"Fecha De Creación: (1/2/2026)");

    Click(designed::mvSALL);

    EXPECT_EQ(window_->lstViewer().ListCount(), 0);
    EXPECT_EQ(Status(), L"0 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(TextOf(window_->txtProp()), L"Fecha De Creación: (1/2/2026)");
}

TEST_F(ViewCommandsTest, AViewButtonIsIgnoredWhileAListingIsUnderWay) {
    for (int i = 0; i < 50; ++i) MakeFile(L"R:\\f" + std::to_wstring(i));
    // Each yield of the listing lets a waiting click through: clicks on "VER SOLO CARPETAS" posted
    // now arrive in the middle of "VER SOLO ARCHIVOS".
    const POINT folders = CentreOf(designed::mvSFLD);
    ::PostMessageW(Main(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(folders.x, folders.y));
    ::PostMessageW(Main(), WM_LBUTTONUP, 0, PointParam(folders.x, folders.y));

    Click(designed::mvSFLS);
    PumpMessages();

    EXPECT_EQ(window_->lstViewer().ListCount(), 50);
    EXPECT_EQ(Status(), L"50 Archivos Encontrados!");
    EXPECT_EQ(window_->ViewMode(), Listed::Files);
}

TEST_F(ViewCommandsTest, TheXIsHeardInTheMiddleOfAListing) {
    for (int i = 0; i < 20; ++i) MakeFile(L"R:\\f" + std::to_wstring(i));
    int linesWhenEnded = -1;
    calls_.onEnd = [&] { linesWhenEnded = window_->lstViewer().ListCount(); };
    const POINT cross = CentreOf(designed::Image4);
    ::PostMessageW(Main(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(cross.x, cross.y));
    ::PostMessageW(Main(), WM_LBUTTONUP, 0, PointParam(cross.x, cross.y));

    Click(designed::mvSFLS);

    EXPECT_EQ(linesWhenEnded, 0) << "the end request waited for the listing";
}

// The properties box and the marking buttons on a listed drive.
class PropertiesTest : public ViewCommandsTest {
protected:
    void SetUp() override {
        ViewCommandsTest::SetUp();
        MakeFolder(L"R:\\Fotos");
        MakeSizedFile(L"R:\\notas.txt", 5000000);
        MakeSizedFile(L"R:\\vacio.txt", 0);
        Click(designed::mvSALL);
        PumpFor(300);  // the list draws its lines in batches
    }
    static void MakeSizedFile(const std::wstring& path, LONGLONG size) {
        const win32::UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)};
        ASSERT_TRUE(file) << ::GetLastError();
        LARGE_INTEGER end{};
        end.QuadPart = size;
        ASSERT_TRUE(::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.Get()));
    }
    HWND List() const { return window_->lstViewer().hWnd(); }
    POINT OnLine(int index, int part) const {
        RECT rect{};
        rect.left = part;
        ::SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        if (part == LVIR_ICON) point.x = rect.left - 8;  // the check box, left of the (empty) icon
        ::ClientToScreen(List(), &point);
        return point;
    }
    // What the properties box shows once its text has had time to be drawn (it is paced).
    std::wstring Properties() const {
        PumpFor(2 * PacedText::kPaceMs);
        return TextOf(window_->txtProp());
    }
};

TEST_F(PropertiesTest, ClickingALineShowsItsEntrysFacts) {
    RealClick(OnLine(1, LVIR_LABEL));  // R:\notas.txt

    const std::wstring text = Properties();
    EXPECT_TRUE(text.starts_with(L"Tamaño: (4")) << text;
    EXPECT_NE(text.find(L"74 MB) Fecha De Creación: ("), std::wstring::npos) << text;
    EXPECT_NE(text.find(L") Tipo De Archivo: ("), std::wstring::npos) << text;

    RealClick(OnLine(0, LVIR_LABEL));  // R:\Fotos
    EXPECT_TRUE(Properties().starts_with(L"Fecha De Creación: (")) << Properties();
    EXPECT_EQ(Properties().find(L"Tamaño"), std::wstring::npos);
}

TEST_F(PropertiesTest, ClickingACheckBoxAndMovingWithTheKeysShowTheFactsToo) {
    RealClick(OnLine(2, LVIR_ICON));  // the check box of R:\vacio.txt
    EXPECT_TRUE(window_->lstViewer().Selected(2));
    EXPECT_TRUE(Properties().starts_with(L"Tamaño: (0 Bytes) Fecha De Creación: (")) << Properties();

    ::SendMessageW(List(), WM_KEYDOWN, VK_UP, 0);  // to R:\notas.txt
    EXPECT_EQ(window_->lstViewer().ListIndex(), 1);
    EXPECT_TRUE(Properties().starts_with(L"Tamaño: (4")) << Properties();
}

TEST_F(PropertiesTest, AViewCommandLeavesTheBoxAsItWas) {
    RealClick(OnLine(1, LVIR_LABEL));
    const std::wstring shown = Properties();

    Click(designed::mvSFLD);

    EXPECT_EQ(Properties(), shown);
}

TEST_F(PropertiesTest, TheMarkingButtonsWalkTheListAndEndOnTheFirstLine) {
    RealClick(OnLine(2, LVIR_LABEL));

    Click(designed::cmdSelAll);
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(window_->lstViewer().ListIndex(), 0);
    EXPECT_TRUE(Properties().starts_with(L"Fecha De Creación: (")) << "the first line's facts";

    window_->lstViewer().SetSelected(1, false);
    Click(designed::cmdInvAll);
    EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));

    Click(designed::cmdClearAll);
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
    PumpFor(300);
    EXPECT_FALSE(ListView_GetCheckState(List(), 1)) << "the check boxes show the marks";
}

TEST_F(PropertiesTest, TheUsersDecimalSeparatorIsUsed) {
    wchar_t before[8] = L"";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before, 8);
    ASSERT_TRUE(::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, L","));

    RealClick(OnLine(1, LVIR_LABEL));
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before);

    EXPECT_TRUE(Properties().starts_with(L"Tamaño: (4,74 MB) ")) << Properties();
}

// "BORRAR ARCHIVO(S)" on the suite's drives, with the message boxes answered by the test.
class DeletionTest : public ViewCommandsTest {
protected:
    void SetUp() override {
        ViewCommandsTest::SetUp();
        MakeFile(L"R:\\autorun.inf", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
        MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        MakeFolder(L"R:\\RECYCLER\\S-1-5-21");
        MakeFile(L"R:\\RECYCLER\\S-1-5-21\\x.exe", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        MakeFile(L"S:\\notas.txt");
        Click(designed::mvSALL);
    }
    void Mark(const std::vector<std::wstring>& paths) {
        for (int line = 0; line < window_->lstViewer().ListCount(); ++line) {
            for (const auto& path : paths) {
                if (window_->lstViewer().List(line) == path) window_->lstViewer().SetSelected(line, true);
            }
        }
    }
    static bool Exists(const wchar_t* path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(DeletionTest, NothingMarkedGivesTheWarningAndNothingElse) {
    Click(designed::cmdDeleteSel);

    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, L"Por favor, marque al menos un archivo");
    EXPECT_EQ(ListedLines().size(), 3u);
}

TEST_F(DeletionTest, NoAtTheQuestionDeletesNothing) {
    Mark({L"R:\\autorun.inf"});
    dialogs_.answers = {false};

    Click(designed::cmdDeleteSel);

    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, L"Estás seguro de que deseas eliminar el archivo?");
    EXPECT_TRUE(Exists(L"R:\\autorun.inf"));
    EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));
}

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
    EXPECT_EQ(window_->ViewMode(), Listed::FoldersThenFiles);
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
    PumpFor(2 * PacedText::kPaceMs);

    EXPECT_EQ(ListedLines(), Lines{});
    EXPECT_EQ(Status(), L"0 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(TextOf(window_->txtProp()), L"");
}

// "COPIAR ARCHIVO(S)" from R: into S:\Copia, chosen in the (scripted) folder picker.
class CopyTest : public DeletionTest {
protected:
    void SetUp() override {
        DeletionTest::SetUp();
        MakeFolder(L"S:\\Copia");
        dialogs_.chosenFolder = L"S:\\Copia";
    }
    static std::string Content(const wchar_t* path) {
        const win32::UniqueFile file{::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)};
        char bytes[64] = {};
        DWORD read = 0;
        if (!file || !::ReadFile(file.Get(), bytes, sizeof bytes, &read, nullptr)) return "<unreadable>";
        return std::string(bytes, read);
    }
};

TEST_F(CopyTest, MarkedEntriesAreCopiedWithTheCaptionAndPanelOfACopy) {
    Mark({L"R:\\autorun.inf", L"R:\\RECYCLER"});
    dialogs_.answers = {true};
    std::vector<std::wstring> captionsAsked;
    dialogs_.onQuestion = [&] { captionsAsked.push_back(TextOf(Main())); };

    Click(designed::cmdCopy);

    ASSERT_EQ(dialogs_.pickers.size(), 1u);
    EXPECT_EQ(dialogs_.pickers[0].title, L"Por favor, seleccione ruta de destino.");
    EXPECT_EQ(dialogs_.pickers[0].startFolder, L"");
    EXPECT_EQ(captionsAsked, std::vector<std::wstring>{L"S:\\Copia"});
    EXPECT_EQ(dialogs_.messages.back().text, L"Estás seguro de que desea copiar los archivos seleccionados?");
    EXPECT_TRUE(Exists(L"S:\\Copia\\autorun.inf"));
    EXPECT_TRUE(Exists(L"S:\\Copia\\RECYCLER\\S-1-5-21\\x.exe"));
    EXPECT_FALSE(Exists(L"S:\\Copia\\notas.txt"));
    EXPECT_EQ(TextOf(Main()), L"Dravello");
    EXPECT_FALSE(::IsWindowVisible(window_->picCopy()));
    EXPECT_EQ(TextOf(window_->lblCopySt()), L"100% Completed");
    EXPECT_EQ(dialogs_.messages.size(), 1u) << "a copy that went well says nothing";
}

TEST_F(CopyTest, NothingMarkedWarnsAndCancellingThePickerChangesNothing) {
    Click(designed::cmdCopy);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, L"Por favor, marque al menos un archivo para poder copiar");

    Mark({L"R:\\autorun.inf"});
    dialogs_.chosenFolder = L"";
    Click(designed::cmdCopy);
    EXPECT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(TextOf(Main()), L"Velquor - Limpiador De Virus Y Copia De Seguridad Para Memorias USB");
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

// The list's menu: what it offers, and its first item, on the suite's drive.
struct MenuItem {
    std::wstring text;
    bool enabled;
};
std::vector<MenuItem> menuSeen;
std::vector<UINT> keysForTheMenu;  // pressed in the menu once it is open

BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
    if (ClassOf(window) != L"#32768" || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK ReadTheOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindMenu, reinterpret_cast<LPARAM>(&window));
    if (!window) return;
    ::KillTimer(nullptr, timer);
    const auto menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int item = 0; item < ::GetMenuItemCount(menu); ++item) {
        wchar_t text[128] = L"";
        ::GetMenuStringW(menu, static_cast<UINT>(item), text, 128, MF_BYPOSITION);
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION);
        menuSeen.push_back({text, (state & (MF_GRAYED | MF_DISABLED)) == 0});
    }
    for (const UINT key : keysForTheMenu) ::PostMessageW(window, WM_KEYDOWN, key, 0);
}

class UnhideMenuTest : public ViewCommandsTest {
protected:
    void SetUp() override {
        ViewCommandsTest::SetUp();
        MakeFolder(L"R:\\Documentos", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        MakeFile(L"R:\\Documentos\\carta.txt", FILE_ATTRIBUTE_HIDDEN);
        MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        Click(designed::mvSFLD);
        PumpFor(300);
        menuSeen.clear();
        keysForTheMenu = {VK_ESCAPE};
        ::SetTimer(nullptr, 0, 50, &ReadTheOpenMenu);
    }
    void TearDown() override {
        keysForTheMenu.clear();
        ViewCommandsTest::TearDown();
    }
    void Mark(const std::wstring& path) {
        for (int line = 0; line < window_->lstViewer().ListCount(); ++line) {
            if (window_->lstViewer().List(line) == path) window_->lstViewer().SetSelected(line, true);
        }
    }
    POINT OnFirstLine() const {
        RECT rect{};
        rect.left = LVIR_LABEL;
        ::SendMessageW(window_->lstViewer().hWnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
        POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(window_->lstViewer().hWnd(), &point);
        return point;
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
};

TEST_F(UnhideMenuTest, ARightClickOffersTheTwoCommandsEnabledAsTheListStands) {
    RealRightClick(OnFirstLine());

    ASSERT_EQ(menuSeen.size(), 2u) << "the menu did not open";
    EXPECT_EQ(menuSeen[0].text, L"Mostrar elementos marcados (quitar oculto y sistema)");
    EXPECT_FALSE(menuSeen[0].enabled) << "no line is marked";
    EXPECT_EQ(menuSeen[1].text, L"Deshacer el último cambio de atributos");
    EXPECT_FALSE(menuSeen[1].enabled) << "nothing to undo";
}

TEST_F(UnhideMenuTest, ItsFirstItemUnhidesTheMarkedFolderThroughoutAndUndoHidesItAgain) {
    Mark(L"R:\\Documentos");
    keysForTheMenu = {VK_DOWN, VK_RETURN};

    RealRightClick(OnFirstLine());
    PumpMessages();

    ASSERT_EQ(menuSeen.size(), 2u);
    EXPECT_TRUE(menuSeen[0].enabled);
    EXPECT_EQ(AttributesOf(L"R:\\Documentos") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_EQ(AttributesOf(L"R:\\Documentos\\carta.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(AttributesOf(L"R:\\RECYCLER") & FILE_ATTRIBUTE_HIDDEN, 0u) << "an unmarked folder stays hidden";
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false})) << "relisted, marks cleared";
    EXPECT_EQ(Status(), L"2 Carpetas Encontradas!");

    menuSeen.clear();
    keysForTheMenu = {VK_DOWN, VK_DOWN, VK_RETURN};
    ::SetTimer(nullptr, 0, 50, &ReadTheOpenMenu);
    RealRightClick(OnFirstLine());
    PumpMessages();

    ASSERT_EQ(menuSeen.size(), 2u);
    EXPECT_TRUE(menuSeen[1].enabled);
    EXPECT_NE(AttributesOf(L"R:\\Documentos") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(AttributesOf(L"R:\\Documentos") & FILE_ATTRIBUTE_SYSTEM, 0u);
    EXPECT_NE(AttributesOf(L"R:\\Documentos\\carta.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(UnhideMenuTest, ShiftF10AndTheMenuKeyOpenTheMenuFromTheKeyboard) {
    ::SetForegroundWindow(Main());
    ::SetFocus(window_->lstViewer().hWnd());

    PressKeys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
    EXPECT_EQ(menuSeen.size(), 2u) << "Shift+F10 did not open the menu";

    menuSeen.clear();
    ::SetTimer(nullptr, 0, 50, &ReadTheOpenMenu);
    PressKeys({{VK_APPS, true}, {VK_APPS, false}});
    EXPECT_EQ(menuSeen.size(), 2u) << "the menu key did not open the menu";
}

class DragTest : public frmViewerTest {
protected:
    // A bare spot of the skin: between the face and the view buttons.
    static constexpr POINT kBare{60, 240};

    void Press(UINT message, WPARAM keys) { ::SendMessageW(Main(), message, keys, PointParam(kBare.x, kBare.y)); }
    void MoveBy(int dx, int dy, WPARAM keys) {
        ::SendMessageW(Main(), WM_MOUSEMOVE, keys, PointParam(kBare.x + dx, kBare.y + dy));
    }
    void Release(UINT message) { ::SendMessageW(Main(), message, 0, PointParam(kBare.x, kBare.y)); }
};

TEST_F(DragTest, TheLeftButtonDragsTheWindowByThePointersOffset) {
    const RECT before = WindowRect(Main());

    Press(WM_LBUTTONDOWN, MK_LBUTTON);
    MoveBy(25, -12, MK_LBUTTON);
    Release(WM_LBUTTONUP);

    EXPECT_EQ(window_->DragAnchorX, kBare.x);
    EXPECT_EQ(window_->DragAnchorY, kBare.y);
    const RECT after = WindowRect(Main());
    EXPECT_EQ(after.left - before.left, 25);
    EXPECT_EQ(after.top - before.top, -12);
}

TEST_F(DragTest, RightButtonOrTwoButtonsDoNotMoveIt) {
    const RECT before = WindowRect(Main());

    Press(WM_RBUTTONDOWN, MK_RBUTTON);
    MoveBy(30, 30, MK_RBUTTON);
    Release(WM_RBUTTONUP);
    Press(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON);
    MoveBy(30, 30, MK_LBUTTON | MK_RBUTTON);
    Release(WM_LBUTTONUP);

    EXPECT_EQ(WindowRect(Main()).left, before.left);
    EXPECT_EQ(WindowRect(Main()).top, before.top);
}

TEST_F(DragTest, AMaximisedWindowDoesNotMove) {
    ::ShowWindow(Main(), SW_MAXIMIZE);
    const RECT before = WindowRect(Main());

    Press(WM_LBUTTONDOWN, MK_LBUTTON);
    MoveBy(30, 30, MK_LBUTTON);
    Release(WM_LBUTTONUP);

    EXPECT_EQ(WindowRect(Main()).left, before.left);
    EXPECT_EQ(WindowRect(Main()).top, before.top);
}

TEST_F(DragTest, APressOnAnyHotSpotDoesNotDrag) {
    const RECT before = WindowRect(Main());
    for (const Rect spot : {designed::cmdSelAll, designed::cmdInvAll, designed::cmdClearAll,
                            designed::cmdCopy, designed::cmdDeleteSel, designed::mvSFLS,
                            designed::mvSFLD, designed::Image2, designed::Image3}) {
        const POINT at = CentreOf(spot);
        ::SendMessageW(Main(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at.x, at.y));
        ::SendMessageW(Main(), WM_MOUSEMOVE, MK_LBUTTON, PointParam(at.x + 40, at.y + 40));
        ::SendMessageW(Main(), WM_LBUTTONUP, 0, PointParam(at.x + 40, at.y + 40));

        EXPECT_EQ(WindowRect(Main()).left, before.left) << "hot spot at " << spot.left << "," << spot.top;
        EXPECT_EQ(WindowRect(Main()).top, before.top) << "hot spot at " << spot.left << "," << spot.top;
    }
}

// Drags made with the system's own mouse input, so that the window under the pointer (a control
// or the bare skin) is the one that gets the press.
class RealDragTest : public frmViewerTest {
protected:
    // Drags from a point of the client area by (30, 20); tells how far the window moved.
    POINT MovedByDragFrom(POINT client) {
        const RECT before = WindowRect(Main());
        RealDrag(OnScreen(client), 30, 20);
        const RECT after = WindowRect(Main());
        return {after.left - before.left, after.top - before.top};
    }
};

TEST_F(RealDragTest, TheBareSkinDragsTheWindow) {
    const POINT moved = MovedByDragFrom({60, 240});

    EXPECT_EQ(moved.x, 30);
    EXPECT_EQ(moved.y, 20);
}

TEST_F(RealDragTest, TheListTheTextBoxAndTheStatusLabelDoNotDrag) {
    ::SetWindowTextW(window_->lblStatus(), L"4 Archivos y Carpetas Encontradas!");
    for (const Rect control : {designed::lstViewer, designed::txtProp, designed::lblStatus}) {
        const POINT moved = MovedByDragFrom(CentreOf(control));
        EXPECT_EQ(moved.x, 0) << "from the control at " << control.left << "," << control.top;
        EXPECT_EQ(moved.y, 0) << "from the control at " << control.left << "," << control.top;
    }
}

TEST_F(RealDragTest, TheProgressPanelAndItsLabelDoNotDragWhileShown) {
    ::ShowWindow(window_->picCopy(), SW_SHOWNA);
    const RECT panel = RectInParent(window_->picCopy());
    const RECT label = RectInParent(window_->lblCopySt());
    const POINT onPanel{panel.left + 20, panel.top + 20};
    const POINT onLabel{panel.left + (label.left + label.right) / 2, panel.top + (label.top + label.bottom) / 2};

    for (const POINT from : {onPanel, onLabel}) {
        const POINT moved = MovedByDragFrom(from);
        EXPECT_EQ(moved.x, 0) << "from " << from.x << "," << from.y;
        EXPECT_EQ(moved.y, 0) << "from " << from.x << "," << from.y;
    }
}

class Check1Test : public frmViewerTest {
protected:
    LRESULT AskAutoPlay() { return ::AskAutoPlay(Main()); }
    void ClickCheck1() { ::ClickCheck1(window_->Check1()); }
};

TEST_F(Check1Test, StartsTickedWithTheWindowHooked) {
    EXPECT_EQ(::SendMessageW(window_->Check1(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(AskAutoPlay(), -1);
}

TEST_F(Check1Test, UntickingUnhooksAndTickingHooksAgain) {
    ClickCheck1();
    EXPECT_EQ(::SendMessageW(window_->Check1(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(AskAutoPlay(), 0) << "the window's ordinary answer";

    ClickCheck1();
    EXPECT_EQ(AskAutoPlay(), -1);
}

TEST_F(Check1Test, GreyedLeavesTheHookAsItIs) {
    ::SendMessageW(window_->Check1(), BM_SETCHECK, BST_INDETERMINATE, 0);
    window_->Check1_Click();
    EXPECT_EQ(AskAutoPlay(), -1);

    ClickCheck1();  // from grey, a click ticks
    ClickCheck1();
    ASSERT_EQ(::SendMessageW(window_->Check1(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::SendMessageW(window_->Check1(), BM_SETCHECK, BST_INDETERMINATE, 0);
    window_->Check1_Click();
    EXPECT_EQ(AskAutoPlay(), 0);
}

}  // namespace
