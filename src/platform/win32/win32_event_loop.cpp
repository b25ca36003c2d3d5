#include "platform/win32/win32_event_loop.h"

#include "platform/win32/win32_handles.h"

namespace vigilon {

void Win32EventLoop::Dispatch(MSG& message) {
    if (dialogWindow_ != nullptr && IsWindow(dialogWindow_) && IsDialogMessageW(dialogWindow_, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool Win32EventLoop::ProcessPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the request for the outermost loop, which ends the program.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Dispatch(message);
    }
    return true;
}

void Win32EventLoop::WaitForEvents(std::int32_t milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

std::int64_t Win32EventLoop::WallClockMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<std::int64_t>(TicksOf(now) / 10'000);  // 100 ns units to milliseconds
}

std::int64_t Win32EventLoop::MonotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

std::int64_t Win32EventLoop::AwakeMilliseconds() {
    // The interrupt time without the time spent asleep, in units of 100 ns.
    ULONGLONG awake = 0;
    if (!QueryUnbiasedInterruptTime(&awake)) return MonotonicMilliseconds();
    return static_cast<std::int64_t>(awake / 10'000);
}

LocalTime Win32EventLoop::LocalTimeNow() {
    // One reading of the clock, turned into local time by the rules of that moment: the offset is
    // the difference between the two, so it always belongs to the time it comes with.
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    SYSTEMTIME local{};
    FILETIME utcTicks{};
    FILETIME localTicks{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) || !SystemTimeToFileTime(&utc, &utcTicks) ||
        !SystemTimeToFileTime(&local, &localTicks)) {
        return {utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds, 0};
    }
    std::int64_t const minute = 600'000'000;  // in 100 ns units
    std::int64_t const difference = static_cast<std::int64_t>(TicksOf(localTicks) - TicksOf(utcTicks));
    int const offset = static_cast<int>((difference + (difference >= 0 ? minute / 2 : -minute / 2)) / minute);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, local.wMilliseconds, offset};
}

}  // namespace vigilon
