#include "app/SystemCalls.h"

#include <shellapi.h>

#include "operations/modBrowse.h"

namespace {

class RealCalls final : public SystemCalls {
public:
    int ShowMessage(HWND owner, const std::wstring& text, const wchar_t* title, UINT style) override {
        return ::MessageBoxW(owner, text.c_str(), title, style);
    }
    std::wstring ChooseFolder(const std::wstring& startFolder, HWND owner,
                              const std::wstring& title) override {
        return modBrowse::ChooseFolder(startFolder, owner, title);
    }
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
