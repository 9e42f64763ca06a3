#include <objbase.h>

#include <gtest/gtest.h>

// COM is initialised once for the whole run, as the program's wWinMain does: the shell's
// type names and the skin decoder need it.
int wmain(int argc, wchar_t** argv) {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com)) ::CoUninitialize();
    return result;
}
