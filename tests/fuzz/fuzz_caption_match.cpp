// Caption matching on a desktop that changes. The first line is the search text; each further
// line changes the desktop or looks the program up:
//   +caption   opens a window          -n   closes window n (counted in enumeration order)
//   =ncaption  retitles window n       ^n   brings window n to the top
//   ?          looks the program up as a watch pass does: the cache's update, the found
//              window confirmed by its own caption, and a full reading when it does not match
//              or nothing was found
// The first two bytes pick the match kind, case sensitivity and what the system reports of
// changes (as Wine, as Windows, or nothing). After every look-up, the window found must be a
// window the direct search would accept, and must be found exactly when the direct search finds
// one; right after a full reading it must be the very window the direct search finds.
#include "fakes/fake_desktop.h"
#include "fuzz_input.h"
#include "support/caption_cache.h"
#include "support/text_case.h"
#include "support/window_search.h"

#include <array>

namespace {

using namespace vigilon;

struct Lookup {
    WindowHandle window;
    bool fullReading;
};

bool Matches(testing::FakeDesktop& desktop, WindowHandle window, std::wstring const& search, std::int32_t kind,
             bool caseSensitive) {
    std::array<wchar_t, kCaptionBufferLength> buffer{};
    std::wstring const caption(ReadCaption(desktop, window, buffer));
    return caseSensitive ? CaptionMatches(caption, search, kind)
                         : CaptionMatches(ToUpperText(caption), ToUpperText(search), kind);
}

Lookup LookUp(testing::FakeDesktop& desktop, CaptionCache& cache, std::wstring const& search, std::int32_t kind,
              bool caseSensitive) {
    cache.Update(desktop);
    WindowHandle const found = cache.Find(search, kind, caseSensitive);
    if (found != 0 && Matches(desktop, found, search, kind, caseSensitive)) return {found, false};
    cache.Refresh(desktop);
    return {cache.Find(search, kind, caseSensitive), true};
}

WindowHandle Nth(testing::FakeDesktop const& desktop, wchar_t index) {
    std::vector<WindowHandle> const windows = desktop.TopLevelWindows();
    return windows.empty() ? 0 : windows[static_cast<std::size_t>(index) % windows.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size < 2) return 0;
    std::int32_t const kind = static_cast<std::int32_t>(data[0] % 4);
    bool const caseSensitive = (data[1] & 1) != 0;
    testing::FakeDesktop desktop;
    desktop.reports = static_cast<testing::FakeDesktop::Reports>((data[1] >> 1) % 3);
    std::wstring const text = fuzzing::WideText(data + 2, size - 2);
    std::size_t const firstBreak = text.find(L'\n');
    std::wstring const search = text.substr(0, firstBreak);
    CaptionCache cache;
    for (std::size_t start = firstBreak; start != std::wstring::npos;) {
        std::size_t const end = text.find(L'\n', start + 1);
        std::wstring const line = text.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
        start = end;
        if (line.empty()) continue;
        std::wstring const rest = line.substr(1);
        switch (line[0]) {
        case L'+': desktop.Add(rest); break;
        case L'-': if (!rest.empty()) desktop.Remove(Nth(desktop, rest[0])); break;
        case L'=': if (!rest.empty()) desktop.Retitle(Nth(desktop, rest[0]), rest.substr(1)); break;
        case L'^': if (!rest.empty()) desktop.Raise(Nth(desktop, rest[0])); break;
        case L'?': {
            Lookup const result = LookUp(desktop, cache, search, kind, caseSensitive);
            WindowHandle const direct = FindWindowByPartialCaption(desktop, search, kind, caseSensitive);
            fuzzing::Require((result.window != 0) == (direct != 0));
            if (result.window != 0) fuzzing::Require(Matches(desktop, result.window, search, kind, caseSensitive));
            if (result.fullReading) fuzzing::Require(result.window == direct);
            break;
        }
        default: desktop.Add(line); break;  // a plain line opens a window, as in the older seeds
        }
    }
    WindowHandle const direct = FindWindowByPartialCaption(desktop, search, kind, caseSensitive);
    cache.Refresh(desktop);
    fuzzing::Require(cache.Find(search, kind, caseSensitive) == direct);
    return 0;
}
