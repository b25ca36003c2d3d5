#pragma once

#include <windows.h>

#include <string>

namespace vigilon::testing {

// This test program started again as a helper process, with `arguments` after its own path. The
// owner tells it to finish; the destructor then waits for it to end.
class HelperProcess {
public:
    explicit HelperProcess(std::wstring const& arguments);
    HelperProcess(HelperProcess const&) = delete;
    HelperProcess& operator=(HelperProcess const&) = delete;
    ~HelperProcess();

    // Waits until `event` is set: false when the helper ended first, or took too long.
    bool WaitFor(HANDLE event) const;

private:
    PROCESS_INFORMATION process_{};
};

}  // namespace vigilon::testing
