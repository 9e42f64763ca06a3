// What watching the listed drives' roots costs while nothing changes, and how soon a change is
// told: the main window in-process lists two removable drives, then its process's CPU time over
// the given seconds is set against the same window's with nothing listed, measured in the same run;
// then a shortcut to cmd.exe is written into each drive's root and the time until the window
// warns is taken, while another process pings the window.
//   velquor_watch_bench LABEL DRIVE DRIVE [SECONDS]     (prints one markdown table row)

#include "Win32Api.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "ComApartment.h"
#include "Layout.h"
#include "frmViewer.h"

namespace {

constexpr int kDefaultSeconds = 30;

// A shell link to C:\Windows\System32\cmd.exe, as scripts/make-shell-link writes it: the
// header, then link info holding the target's path, and the terminal block.
constexpr unsigned char kLinkToCmd[] = {
    0x4C, 0x00, 0x00, 0x00, 0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x46, 0xE2, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4A, 0x00, 0x00, 0x00,
    0x1C, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00, 0x00, 0x2D, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
    0x4D, 0x3C, 0x2B, 0x1A, 0x10, 0x00, 0x00, 0x00, 0x00, 0x43, 0x3A, 0x5C, 0x57, 0x69, 0x6E, 0x64,
    0x6F, 0x77, 0x73, 0x5C, 0x53, 0x79, 0x73, 0x74, 0x65, 0x6D, 0x33, 0x32, 0x5C, 0x63, 0x6D, 0x64,
    0x2E, 0x65, 0x78, 0x65, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

// The dialogs of a user who says Yes to everything; the moment of each warning is kept.
class Answers final : public MessageBoxes, public FolderChooser, public SystemCalls {
public:
    void Warn(const std::wstring&) override { warned = Steady::now(); }
    void Inform(const std::wstring&) override {}
    bool AskYesNo(const std::wstring&) override { return true; }
    std::wstring ChooseFolder(const std::wstring&, const std::wstring&) override { return {}; }
    void OpenWebPage(HWND, const wchar_t*) override {}
    void EndProgram() override {}

    Steady::time_point warned{};
};

double IdleCpuPercent(int seconds) {
    const double cpu = CpuSeconds();
    const double wall = WallSeconds();
    RunMessageLoopFor(seconds);
    return (CpuSeconds() - cpu) / (WallSeconds() - wall) * 100;
}

// Writes the shortcut into the drive's root; the seconds until the window warned, or -1.
double SecondsToWarning(const std::wstring& drive, Answers& answers) {
    const auto written = Steady::now();
    const std::wstring path = drive + L"\\Documentos.lnk";
    {
        const win32::UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)};
        DWORD done = 0;
        if (!file || !::WriteFile(file.Get(), kLinkToCmd, sizeof kLinkToCmd, &done, nullptr)) return -1;
    }
    while (answers.warned < written && SecondsSince(written) < 10) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        DoEvents();
    }
    ::DeleteFileW(path.c_str());
    return answers.warned < written ? -1 : std::chrono::duration<double>(answers.warned - written).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || argc > 5) {
        std::fwprintf(stderr, L"usage: velquor_watch_bench LABEL DRIVE DRIVE [SECONDS]\n");
        return 2;
    }
    const ComApartment com;
    const int seconds = argc == 5 ? std::max(1, _wtoi(argv[4])) : kDefaultSeconds;
    Answers answers;
    frmViewer window(::GetModuleHandleW(nullptr), answers, answers, answers);
    if (!window.Create()) return 1;
    window.Show(SW_SHOWNORMAL);
    DoEvents();

    const double nothingListed = IdleCpuPercent(seconds);
    const Rect mvSALL = layout::frmViewer::mvSALL;
    const LPARAM at = MAKELPARAM(mvSALL.left + mvSALL.width / 2, mvSALL.top + mvSALL.height / 2);
    ::SendMessageW(window.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(window.hWnd(), WM_LBUTTONUP, 0, at);
    const double watching = IdleCpuPercent(seconds);

    Pinger pinger(window.hWnd());
    const double slowest = std::max(SecondsToWarning(argv[2], answers), SecondsToWarning(argv[3], answers));
    const Pinger::Answers heard = pinger.Stop();

    std::wprintf(L"| %ls | %.3f %% | %.3f %% | %.0f ms | %.1f ms; %lld of %lld over 100 ms | %d s each | < 0.2 %%; "
                 L"within 1 s; <= 100 ms |\n",
                 argv[1], watching, nothingListed, slowest * 1000, heard.slowestMs, heard.over100Ms, heard.messages,
                 seconds);
    return slowest >= 0 ? 0 : 1;
}
