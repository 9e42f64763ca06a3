#include "Module1.h"

#include <vector>

#include <gtest/gtest.h>

#include "support/WindowTestSupport.h"

namespace {

// A plain window whose own procedure records what reaches it and answers with a marker.
struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> received;
constexpr LRESULT kOwnAnswer = 0x5eed;
constexpr UINT kProbe = WM_APP + 7;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe || message == ShellsAutoPlayQuestion()) {
        received.push_back({message, wParam, lParam});
        return kOwnAnswer;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class RecordingWindow {
public:
    RecordingWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VelquorHookProbe";
        ::RegisterClassW(&windowClass);
        hwnd_ = ::CreateWindowExW(0, L"VelquorHookProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;
    ~RecordingWindow() { ::DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

LRESULT AskAutoPlay(HWND window) { return ::SendMessageW(window, ShellsAutoPlayQuestion(), 0, 0); }

class Module1Test : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        ASSERT_TRUE(first_.Get() && second_.Get());
    }
    RecordingWindow first_;
    RecordingWindow second_;
};

TEST_F(Module1Test, AHookedWindowCancelsAutoPlayWithoutItsOwnProcedureHearingIt) {
    Module1::InstallAutoPlayHook(first_.Get());

    EXPECT_EQ(AskAutoPlay(first_.Get()), -1);
    EXPECT_TRUE(received.empty());

    Module1::RemoveAutoPlayHook(first_.Get());
}

TEST_F(Module1Test, OtherMessagesPassThroughWithArgumentsAndResultUnchanged) {
    Module1::InstallAutoPlayHook(first_.Get());

    const LRESULT answer = ::SendMessageW(first_.Get(), kProbe, 0xABCD, -42);

    EXPECT_EQ(answer, kOwnAnswer);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, kProbe);
    EXPECT_EQ(received[0].wParam, 0xABCDu);
    EXPECT_EQ(received[0].lParam, -42);
    Module1::RemoveAutoPlayHook(first_.Get());
}

TEST_F(Module1Test, RemovingPutsTheOwnProcedureBackOnThatWindowOnly) {
    Module1::InstallAutoPlayHook(first_.Get());
    Module1::InstallAutoPlayHook(second_.Get());

    Module1::RemoveAutoPlayHook(first_.Get());

    EXPECT_EQ(::GetWindowLongPtrW(first_.Get(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));
    EXPECT_EQ(AskAutoPlay(first_.Get()), kOwnAnswer);
    EXPECT_EQ(AskAutoPlay(second_.Get()), -1);
    EXPECT_EQ(::SendMessageW(second_.Get(), kProbe, 1, 2), kOwnAnswer);
    Module1::RemoveAutoPlayHook(second_.Get());
}

// Someone else's procedure, put on a window after the hook, recording what reaches it.
WNDPROC replacedByLater = nullptr;
std::vector<UINT> heardByLater;

LRESULT CALLBACK LaterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe || message == ShellsAutoPlayQuestion()) heardByLater.push_back(message);
    return ::CallWindowProcW(replacedByLater, window, message, wParam, lParam);
}

TEST_F(Module1Test, AWindowSubclassedAgainAfterTheHookKeepsTheHookSoTheLaterProcedureIsNotCutOff) {
    Module1::InstallAutoPlayHook(first_.Get());
    replacedByLater = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(first_.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc)));
    heardByLater.clear();

    Module1::RemoveAutoPlayHook(first_.Get());

    EXPECT_EQ(::SendMessageW(first_.Get(), kProbe, 5, 6), kOwnAnswer);
    EXPECT_EQ(AskAutoPlay(first_.Get()), -1) << "the hook stays in place";
    EXPECT_EQ(heardByLater, (std::vector<UINT>{kProbe, ShellsAutoPlayQuestion()}));
}

TEST_F(Module1Test, HookingTwiceIsHarmlessAndOneRemovalUndoesIt) {
    Module1::InstallAutoPlayHook(first_.Get());
    Module1::InstallAutoPlayHook(first_.Get());
    EXPECT_EQ(::SendMessageW(first_.Get(), kProbe, 3, 4), kOwnAnswer);

    Module1::RemoveAutoPlayHook(first_.Get());

    EXPECT_FALSE(Module1::IsAutoPlayHooked(first_.Get()));
    EXPECT_EQ(AskAutoPlay(first_.Get()), kOwnAnswer);
}

TEST_F(Module1Test, RemovingFromAWindowNeverHookedChangesNothing) {
    Module1::RemoveAutoPlayHook(first_.Get());

    EXPECT_EQ(::GetWindowLongPtrW(first_.Get(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));
}

TEST_F(Module1Test, ADestroyedHookedWindowIsForgotten) {
    HWND window;
    {
        RecordingWindow shortLived;
        window = shortLived.Get();
        Module1::InstallAutoPlayHook(window);
        ASSERT_TRUE(Module1::IsAutoPlayHooked(window));
    }
    EXPECT_FALSE(Module1::IsAutoPlayHooked(window));
}

}  // namespace
