#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_desktop.h"
#include "window_helper.h"

namespace vigilon::testing {
namespace {

// Lets window events reach the hooks, which happens while the thread handles its messages, and
// tells whether the count moved on from `before` within a few seconds.
bool CountMovesOn(Win32Desktop& desktop, std::uint64_t before) {
    DWORD const start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (desktop.ChangeCount() != before) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

TEST(WindowEventsOnWindows, AQuietDesktopKeepsTheCountAndAnotherProcessOpeningAWindowMovesIt) {
    Win32Desktop desktop;
    desktop.ChangeCount();  // installs the hooks
    // Events reach the hooks only while this thread handles its messages: two readings with none
    // handled in between are equal, where a system without hooks would count each as a change.
    std::uint64_t const before = desktop.ChangeCount();
    EXPECT_EQ(desktop.ChangeCount(), before);
    WindowHelper helper(L"Vigilon event probe");
    ASSERT_TRUE(helper.Started());
    EXPECT_TRUE(CountMovesOn(desktop, before));
    // Closing and retitling are reported by Windows but not by Wine; the watch engine confirms
    // each program's window by its caption instead of relying on those reports.
    EXPECT_TRUE(helper.Retitle());
    EXPECT_TRUE(helper.Close());
}

}  // namespace
}  // namespace vigilon::testing
