#include "SystemCalls.h"

#include <shellapi.h>

namespace {

class RealCalls final : public SystemCalls {
public:
    void OpenWebPage(HWND owner, const wchar_t* address) override {
        ::ShellExecuteW(owner, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
    }
    void EndProgram() override { ::ExitProcess(0); }
};

}  // namespace

SystemCalls& RealSystemCalls() {
    static RealCalls calls;
    return calls;
}
