#include "Win32Api.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Resources.h"
#include "Owners.h"
#include "support/WindowTestSupport.h"

namespace {

// velquor.exe as the build left it; CTest gives its host path, which Wine shows under Z:.
std::wstring VelquorExe() {
    const char* host = std::getenv("VELQUOR_EXE");
    if (!host) return {};
    std::wstring path = L"Z:";
    for (const char* c = host; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

// The program started as a user starts it; ended by force if a test leaves it running.
class RunningVelquor {
public:
    explicit RunningVelquor(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + exe + L"\"";
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started)) {
            process_.Reset(started.hProcess);
            thread_.Reset(started.hThread);
        }
    }
    RunningVelquor(const RunningVelquor&) = delete;
    RunningVelquor& operator=(const RunningVelquor&) = delete;
    ~RunningVelquor() {
        if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.Get(), 1);
    }

    bool Started() const { return static_cast<bool>(process_); }
    HANDLE Process() const { return process_.Get(); }

    // The program's window of that class (the main window's by default), once it is shown; null
    // if none comes within the time limit.
    HWND WaitForWindow(DWORD limitMs, const wchar_t* className = L"VelquorViewer") const {
        ::WaitForInputIdle(process_.Get(), limitMs);
        const ULONGLONG deadline = ::GetTickCount64() + limitMs;
        for (;;) {
            HWND window = ::FindWindowW(className, nullptr);
            if (window && ::IsWindowVisible(window)) return window;
            if (::GetTickCount64() > deadline) return nullptr;
            // Wakes early if the program ends.
            if (::WaitForSingleObject(process_.Get(), 50) == WAIT_OBJECT_0) return nullptr;
        }
    }

private:
    win32::UniqueKernelHandle process_;
    win32::UniqueKernelHandle thread_;
};

// A value of the program's version information, in its first language.
std::wstring VersionText(const std::wstring& exe, const std::wstring& name) {
    DWORD ignored = 0;
    std::vector<BYTE> info(::GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    if (info.empty() || !::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) {
        return {};
    }
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size) ||
        size < sizeof(Translation)) {
        return {};
    }
    wchar_t key[64];
    swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(info.data(), (key + name).c_str(), reinterpret_cast<void**>(&value), &size)) return {};
    return value;
}

// The middles of the main window's hot spots (twips, 15 to a pixel): "X", "VER ESTADO", "?".
constexpr POINT kX{(8640 + 375 / 2) / 15, (120 + 255 / 2) / 15};
constexpr POINT kVerEstado{(5280 + 1095 / 2) / 15, (5160 + 255 / 2) / 15};
constexpr POINT kQuestionMark{(7920 + 255 / 2) / 15, (120 + 255 / 2) / 15};

// A click on a window of the program, as the mouse gives it, waiting in its queue.
void PostClick(HWND window, POINT at) {
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at.x, at.y));
    ::PostMessageW(window, WM_LBUTTONUP, 0, PointParam(at.x, at.y));
}

TEST(VelquorExeTest, CarriesItsIconAndTheCompanyNameThatTitlesItsMessages) {
    const std::wstring exe = VelquorExe();
    ASSERT_FALSE(exe.empty()) << "VELQUOR_EXE is not set";

    EXPECT_EQ(VersionText(exe, L"CompanyName"), L"=)");
    EXPECT_EQ(VersionText(exe, L"CompanyName"), kMessageBoxTitle);
    EXPECT_EQ(VersionText(exe, L"OriginalFilename"), L"velquor.exe");
    EXPECT_EQ(::ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 1u);
}

TEST(VelquorExeTest, StartsShowsItsCaptionCancelsAutoPlayAndEndsOnX) {
    const std::wstring exe = VelquorExe();
    ASSERT_FALSE(exe.empty()) << "VELQUOR_EXE is not set";
    RunningVelquor program(exe);
    ASSERT_TRUE(program.Started()) << "CreateProcessW failed: " << ::GetLastError();

    HWND window = program.WaitForWindow(30000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(window), L"Velquor - Limpiador De Virus Y Copia De Seguridad Para Memorias USB");

    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutW(window, ShellsAutoPlayQuestion(), 0, 0, SMTO_NORMAL, 10000, &answer), 0);
    EXPECT_EQ(static_cast<LRESULT>(answer), -1);

    PostClick(window, kX);
    ASSERT_EQ(::WaitForSingleObject(program.Process(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(program.Process(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

TEST(VelquorExeTest, XEndsItWithTheMonitorAndHelpOpen) {
    const std::wstring exe = VelquorExe();
    ASSERT_FALSE(exe.empty()) << "VELQUOR_EXE is not set";
    RunningVelquor program(exe);
    ASSERT_TRUE(program.Started()) << "CreateProcessW failed: " << ::GetLastError();
    HWND window = program.WaitForWindow(30000);
    ASSERT_NE(window, nullptr);

    PostClick(window, kVerEstado);
    PostClick(window, kQuestionMark);
    ASSERT_NE(program.WaitForWindow(10000, L"VelquorMonitor"), nullptr);
    ASSERT_NE(program.WaitForWindow(10000, L"VelquorHelp"), nullptr);

    PostClick(window, kX);
    ASSERT_EQ(::WaitForSingleObject(program.Process(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(program.Process(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
