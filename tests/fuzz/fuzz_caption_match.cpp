// Caption matching: the first line is the search text, the others are window captions. Searching
// the desktop window by window and searching the captions read into the cache must always agree.
#include "fakes/fake_desktop.h"
#include "fuzz_input.h"
#include "support/window_search.h"
#include "support/caption_cache.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    if (size < 2) return 0;
    std::int32_t const kind = static_cast<std::int32_t>(data[0] % 4);
    bool const caseSensitive = (data[1] & 1) != 0;
    std::wstring const text = fuzzing::WideText(data + 2, size - 2);
    std::size_t const firstBreak = text.find(L'\n');
    std::wstring const search = text.substr(0, firstBreak);
    testing::FakeDesktop desktop;
    for (std::size_t start = firstBreak; start != std::wstring::npos;) {
        std::size_t const end = text.find(L'\n', start + 1);
        desktop.Add(text.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1));
        start = end;
    }
    WindowHandle const direct = FindWindowByPartialCaption(desktop, search, kind, caseSensitive);
    CaptionCache cache;
    cache.Update(desktop);
    fuzzing::Require(cache.Find(search, kind, caseSensitive) == direct);
    cache.Update(desktop);  // served from what was read before
    fuzzing::Require(cache.Find(search, kind, caseSensitive) == direct);
    cache.Refresh(desktop);
    fuzzing::Require(cache.Find(search, kind, caseSensitive) == direct);
    return 0;
}
