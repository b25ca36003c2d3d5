#include "window_helper.h"

namespace vigilon::testing {
namespace {

constexpr DWORD kStepTimeoutMilliseconds = 30000;

HANDLE OpenNamedEvent(std::wstring const& name) {
    return OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name.c_str());
}

// Handles the window's messages until one of the events is set; its index, or -1 when none is
// set within the step's time.
int PumpUntil(HANDLE const* events, DWORD count) {
    DWORD const start = GetTickCount();
    for (DWORD waited = 0; waited < kStepTimeoutMilliseconds; waited = GetTickCount() - start) {
        DWORD const woken =
            MsgWaitForMultipleObjects(count, events, FALSE, kStepTimeoutMilliseconds - waited, QS_ALLINPUT);
        if (woken < WAIT_OBJECT_0 + count) return static_cast<int>(woken - WAIT_OBJECT_0);
        if (woken != WAIT_OBJECT_0 + count) return -1;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return -1;
}

}  // namespace

int RunWindowHelper(std::wstring const& caption, std::wstring const& base) {
    HANDLE const done = OpenNamedEvent(base + L"Done");
    HANDLE const requests[] = {OpenNamedEvent(base + L"Retitle"), OpenNamedEvent(base + L"Close")};
    if (done == nullptr || requests[0] == nullptr || requests[1] == nullptr) return 3;
    HWND const window = CreateWindowExW(0, L"Static", caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                        100, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) return 2;
    SetEvent(done);
    for (;;) {
        int const request = PumpUntil(requests, 2);
        if (request == 0) {
            ResetEvent(requests[0]);
            SetWindowTextW(window, (caption + L" retitled").c_str());
        } else {
            DestroyWindow(window);
        }
        SetEvent(done);
        if (request != 0) return request == 1 ? 0 : 4;
    }
}

WindowHelper::WindowHelper(std::wstring const& caption) {
    std::wstring const base = L"VigilonWindowHelper" + std::to_wstring(GetCurrentProcessId());
    done_.Reset(CreateEventW(nullptr, FALSE, FALSE, (base + L"Done").c_str()));
    retitle_.Reset(CreateEventW(nullptr, TRUE, FALSE, (base + L"Retitle").c_str()));
    close_.Reset(CreateEventW(nullptr, TRUE, FALSE, (base + L"Close").c_str()));
    helper_ = std::make_unique<HelperProcess>(std::wstring(kWindowHelperSwitch) + L" \"" + caption + L"\" " + base);
    started_ = helper_->WaitFor(done_.Get());
}

WindowHelper::~WindowHelper() { SetEvent(close_.Get()); }

bool WindowHelper::Step(HANDLE request) {
    SetEvent(request);
    return helper_->WaitFor(done_.Get());
}

}  // namespace vigilon::testing
