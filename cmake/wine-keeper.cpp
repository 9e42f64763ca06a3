// Holds Wine's desktop open for a test session of cmake/wine-run. Asking for the desktop window
// makes Wine start its desktop process now, as a child of this program (whose output goes nowhere)
// rather than of a test whose output CTest reads to the end; and while any program runs, that
// process stays, so no test waits for a new one. Says "ready" once the desktop is there, then
// waits until the session ends it.
#include <windows.h>

#include <cstdio>

int wmain() {
    if (!::GetDesktopWindow()) return 1;
    std::puts("ready");
    std::fflush(stdout);
    ::Sleep(INFINITE);
    return 0;
}
