// Answers how a window feels to the user while it works: from a process of its own, sends the
// window a message every 20 ms and times each answer, until the stop event is set or the window
// goes. Writes "<messages> <slowest ms> <answers over 100 ms>" to the result file.
//   velquor_pinger WINDOW STOP_EVENT RESULT_FILE    (WINDOW: the handle in decimal)

#include "Win32Api.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "Owners.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: velquor_pinger WINDOW STOP_EVENT RESULT_FILE\n");
        return 2;
    }
    const auto window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[1], nullptr, 10)));
    const win32::UniqueKernelHandle stop{::OpenEventW(SYNCHRONIZE, FALSE, argv[2])};
    if (!stop) return 1;

    using Steady = std::chrono::steady_clock;
    std::vector<double> answersMs;
    while (::WaitForSingleObject(stop.Get(), 20) == WAIT_TIMEOUT && ::IsWindow(window)) {
        const auto sent = Steady::now();
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        answersMs.push_back(std::chrono::duration<double, std::milli>(Steady::now() - sent).count());
    }

    const double slowest = answersMs.empty() ? 0 : *std::max_element(answersMs.begin(), answersMs.end());
    const auto late = std::count_if(answersMs.begin(), answersMs.end(), [](double ms) { return ms > 100; });
    std::FILE* result = _wfopen(argv[3], L"w");
    if (!result) return 1;
    std::fprintf(result, "%zu %.1f %lld\n", answersMs.size(), slowest, static_cast<long long>(late));
    std::fclose(result);
    return 0;
}
