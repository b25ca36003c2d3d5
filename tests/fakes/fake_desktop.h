#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop.h"

namespace vigilon::testing {

struct FakeWindow {
    WindowHandle handle = 0;
    std::wstring caption;
    bool visible = true;
    bool minimised = false;
    std::uint32_t processId = 0;
    bool child = false;  // a control inside another window: never enumerated
    bool maximised = false;  // kept while it is minimised: restoring it maximises it again
    WindowRect rect{100, 100, 800, 600};  // its restored place; maximised, it fills its display
    bool topmost = false;
    std::uint32_t style = kWsOverlappedWindow;
    std::wstring windowClass = L"FakeWindowClass";
};

// A desktop of windows, enumerated in the order they were added.
class FakeDesktop final : public Desktop {
public:
    // Adds a top-level window and returns its handle.
    WindowHandle Add(std::wstring caption, bool visible = true, bool minimised = false);
    WindowHandle AddChild(std::wstring caption);
    void Remove(WindowHandle window);
    FakeWindow* Find(WindowHandle window);

    // What ChangeCount learns of. Wine reports windows opened, shown and hidden, but not closed
    // or retitled; Windows reports those too; Blind is a system whose window-event hooks could not
    // be installed, where every reading differs. A test that edits a window directly is a retitle
    // nobody reports; Retitle reports it as the system would.
    enum class Reports { Wine, Windows, Blind };
    Reports reports = Reports::Wine;
    std::uint64_t changes = 0;
    void Retitle(WindowHandle window, std::wstring caption);
    // Shows and placements are handed over without waiting, as for another process's window: they
    // take effect, in order, when the caller next processes events, which calls this. A placement
    // for a hung window waits until it answers again, and those after it for that window with it.
    void ApplyPendingShows();
    int requests = 0;  // shows, and each step of a placement, asked for
    struct Asked {
        WindowHandle window;
        std::uint64_t request;
        PlacementSteps steps;
        std::wstring caption;  // the window's as it was asked
    };
    std::vector<Asked> placements;        // every placement asked for, in order
    std::vector<PlacementOutcome> ended;  // every placement's outcome, in the order they ended
    // Windows of a program that runs elevated: a placement is refused, as the system refuses it.
    std::vector<WindowHandle> refusePlacement;
    // Runs as each is asked for, with the show command; kNotAShow for a move, a frame or the flag.
    static constexpr std::int32_t kNotAShow = -1;
    std::function<void(WindowHandle, std::int32_t)> onRequest;
    // Brings a window to the top of the enumeration order; reported by Windows only.
    void Raise(WindowHandle window);
    std::vector<WindowHandle> TopLevelWindows() const;
    int enumerations = 0;
    int captionReads = 0;
    int classReads = 0;
    int processQueries = 0;  // WindowProcessId calls
    std::vector<std::uint32_t> activatedProcesses;
    std::vector<WindowHandle> closeRequests;
    // Windows that stay open when asked to close (a program that asks to save, or has hung).
    std::vector<WindowHandle> refuseClose;
    // Windows whose program has hung: requests to show or hide them change nothing.
    std::vector<WindowHandle> frozen;

    void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::uint64_t ChangeCount() override { return reports == Reports::Blind ? ++changes : changes; }
    std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) override;
    std::size_t ReadWindowClass(WindowHandle window, std::span<wchar_t> buffer) override;
    bool IsMinimised(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    void ShowWindowAs(WindowHandle window, std::int32_t showCommand) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    bool ActivateProcess(std::uint32_t processId) override;
    void RequestClose(WindowHandle window) override;
    void PostClose(WindowHandle window) override;
    std::vector<WindowHandle> postedCloses;
    // True: a window asked to close without waiting closes at once, unless it refuses.
    bool closeOnPost = false;
    std::function<void(WindowHandle)> onPost;  // runs as a window is asked to close without waiting
    // The process that owns the shell's desktop window; 0 for none.
    std::uint32_t shellProcess = 0;
    std::uint32_t ShellProcessId() override { return shellProcess; }
    std::vector<DisplayInfo> displays{{L"primary-display", L"\\\\.\\DISPLAY1", 0, 0, 1920, 1080, true}};
    std::vector<DisplayInfo> Displays() override { return displays; }
    // Leaves what was not asked for as it is in WindowPlacement, as a system not asked would.
    WindowPlacement ReadPlacement(WindowHandle window, PlacementParts parts) override;
    int placementQuestions = 0;  // the style, and each part asked for: a question to the system each
    bool IsHung(WindowHandle window) override { return std::find(frozen.begin(), frozen.end(), window) != frozen.end(); }
    std::uint64_t Place(WindowHandle window, PlacementSteps const& steps) override;
    std::vector<PlacementOutcome> PlacementsDone() override { return std::exchange(outcomes_, {}); }
    bool WaitForPlacements(int) override {
        ApplyPendingShows();
        return queued_.empty();
    }

private:
    // A request for a window other than a frozen one, to be carried out later.
    void Later(WindowHandle window, std::function<void(FakeWindow&)> change);
    std::vector<std::pair<WindowHandle, std::function<void(FakeWindow&)>>> pending_;
    void CarryOutPlacements();
    std::vector<Asked> queued_;  // placements not yet carried out, in the order asked
    std::vector<PlacementOutcome> outcomes_;
    std::uint64_t lastRequest_ = 0;
    std::vector<FakeWindow> windows_;
    WindowHandle next_ = 0x1000;
};

}  // namespace vigilon::testing
