#include "app/window_match.h"

#include <algorithm>

#include "support/text_case.h"
#include "support/window_search.h"

namespace vigilon {
namespace {

constexpr std::int32_t kCaptionKinds[] = {kMatchBeginsWith, kMatchContains, kMatchEndsWith, kMatchEquals};

// The file name of an upper-cased path, slashes taken for backslashes.
std::wstring_view FileNameOf(std::wstring_view path) {
    std::size_t const slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// A path with its slashes as backslashes, so that C:/Tools/app.exe is C:\Tools\app.exe.
std::wstring Backslashed(std::wstring text) {
    std::replace(text.begin(), text.end(), L'/', L'\\');
    return text;
}

// Whether a caption matched as `kind` by `text` can also be matched by `other` as `otherKind`.
// `other` is the one of the pair whose kind comes later in Start, Contains, End, Exact.
bool CaptionsMayShare(std::wstring_view text, std::int32_t kind, std::wstring_view other, std::int32_t otherKind) {
    if (kind == kMatchEquals) return text == other;
    if (otherKind == kMatchEquals) {
        return kind == kMatchBeginsWith ? other.starts_with(text)
               : kind == kMatchEndsWith ? other.ends_with(text)
                                        : other.find(text) != std::wstring_view::npos;
    }
    // Two beginnings share a caption only when one begins the other; so two ends. Any other pair
    // (a beginning and an end, or a text found anywhere) can meet in some caption.
    if (kind == otherKind && kind == kMatchBeginsWith) return text.starts_with(other) || other.starts_with(text);
    if (kind == otherKind && kind == kMatchEndsWith) return text.ends_with(other) || other.ends_with(text);
    return true;
}

// True for a path on a share (\\server\share\...), slashes already backslashes.
bool OnShare(std::wstring_view path) { return path.starts_with(L"\\\\"); }

int KindOrder(std::int32_t kind) {
    return kind == kMatchBeginsWith ? 0 : kind == kMatchContains ? 1 : kind == kMatchEndsWith ? 2 : 3;
}

bool ProcessesMayBeOne(WindowMatch const& a, WindowMatch const& b) {
    if (a.process.empty() || b.process.empty()) return true;
    if (!a.processByName && !b.processByName) return a.process == b.process;
    return FileNameOf(a.process) == FileNameOf(b.process);
}

}  // namespace

std::optional<WindowMatch> WindowMatchOf(WatchedProgram const& record, FullPathOf const& fullPath) {
    RuleValue<CaptionMatch> const kind = ParseCaptionMatch(record.rules.captionMatch);
    RuleValue<std::wstring> const windowClass = ParseWindowClass(record.rules.windowClass);
    RuleValue<std::wstring> const process = ParseProcess(record.rules.process);
    if (!kind.value || !windowClass.problem.empty() || !process.problem.empty()) return std::nullopt;
    WindowMatch match;
    match.caption = ToUpperText(record.caption);
    match.captionKind = kCaptionKinds[static_cast<std::size_t>(*kind.value)];
    if (windowClass.value) match.windowClass = ToUpperText(*windowClass.value);
    if (process.value) {
        match.process = Backslashed(ToUpperText(*process.value));
        match.processByName = match.process.find(L'\\') == std::wstring::npos;
        if (match.processByName && match.process.find(L'.') == std::wstring::npos) match.process += L".EXE";
        if (!match.processByName && !OnShare(match.process) && fullPath) {
            match.process = Backslashed(ToUpperText(fullPath(*process.value)));
        }
    }
    return match;
}

bool MatchKeysUsable(RestartRules const& rules) {
    if (rules.process.empty() && rules.windowClass.empty() && rules.captionMatch.empty()) return true;
    return ParseCaptionMatch(rules.captionMatch).value && ParseWindowClass(rules.windowClass).problem.empty() &&
           ParseProcess(rules.process).problem.empty();
}

bool CaptionFits(WindowMatch const& match, std::wstring_view upperCaption) {
    return CaptionMatches(upperCaption, match.caption, match.captionKind);
}

bool ImageFits(WindowMatch const& match, std::wstring_view upperImage) {
    if (match.process.empty()) return true;
    if (upperImage.empty()) return false;  // an image that cannot be read is nobody's
    std::wstring const image = Backslashed(std::wstring(upperImage));
    return match.processByName ? FileNameOf(image) == match.process : image == match.process;
}

bool MayShareWindow(WindowMatch const& a, WindowMatch const& b) {
    if (a.caption.empty() || b.caption.empty()) return false;
    if (!a.windowClass.empty() && !b.windowClass.empty() && a.windowClass != b.windowClass) return false;
    if (!ProcessesMayBeOne(a, b)) return false;
    bool const inOrder = KindOrder(a.captionKind) <= KindOrder(b.captionKind);
    WindowMatch const& first = inOrder ? a : b;
    WindowMatch const& second = inOrder ? b : a;
    return CaptionsMayShare(first.caption, first.captionKind, second.caption, second.captionKind);
}

}  // namespace vigilon
