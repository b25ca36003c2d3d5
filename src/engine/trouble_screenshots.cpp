#include "engine/trouble_screenshots.h"

#include <algorithm>

namespace vigilon {
namespace {

constexpr wchar_t kSuffix[] = L".png";
constexpr std::wstring_view kNotInFileNames = L"\\/:*?\"<>|";

std::wstring TwoDigits(int value) { return (value < 10 ? L"0" : L"") + std::to_wstring(value); }

std::wstring Safe(std::wstring_view text) {
    std::wstring safe(text);
    for (wchar_t& c : safe) {
        if (c < 32 || kNotInFileNames.find(c) != std::wstring_view::npos) c = L'_';
    }
    return safe;
}

// "YYYY-MM-DD hhmmss.mmm " at the start, as ScreenshotFileName writes it, and the suffix.
bool IsScreenshotName(std::wstring const& name) {
    constexpr std::wstring_view kShape = L"0000-00-00 000000.000 ";
    if (name.size() < kShape.size() + 4 || !name.ends_with(kSuffix)) return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        bool const digit = name[i] >= L'0' && name[i] <= L'9';
        if (kShape[i] == L'0' ? !digit : name[i] != kShape[i]) return false;
    }
    return true;
}

}  // namespace

std::wstring ScreenshotFileName(LocalTime const& time, std::wstring_view program, std::wstring_view event) {
    std::wstring const milliseconds = std::to_wstring(1000 + time.millisecond).substr(1);
    return std::to_wstring(time.year) + L"-" + TwoDigits(time.month) + L"-" + TwoDigits(time.day) + L" " +
           TwoDigits(time.hour) + TwoDigits(time.minute) + TwoDigits(time.second) + L"." + milliseconds + L" " +
           Safe(program) + L" " + Safe(event) + kSuffix;
}

std::vector<std::wstring> ScreenshotsBeyond(std::vector<std::wstring> names, std::size_t keep) {
    std::erase_if(names, [](std::wstring const& name) { return !IsScreenshotName(name); });
    if (names.size() <= keep) return {};
    std::sort(names.begin(), names.end());
    names.resize(names.size() - keep);
    return names;
}

TroubleScreenshots::TroubleScreenshots(Platform& platform, std::wstring const& historyPath) : platform_(platform) {
    std::size_t const slash = historyPath.find_last_of(L'\\');
    folder_ = (slash == std::wstring::npos ? std::wstring() : historyPath.substr(0, slash + 1)) + L"screenshots";
}

std::wstring TroubleScreenshots::Take(WindowHandle window, std::wstring_view program, std::wstring_view event,
                                      bool fromScreen) {
    if (window == 0 || !platform_.files.CreateFolder(folder_)) return {};
    std::wstring const path =
        folder_ + L"\\" + ScreenshotFileName(platform_.events.LocalTimeNow(), program, event);
    if (!platform_.capture.SavePng(window, path, fromScreen)) return {};
    for (std::wstring const& old : ScreenshotsBeyond(platform_.files.FileNamesIn(folder_, kSuffix), kKeep)) {
        platform_.files.RemoveFile(folder_ + L"\\" + old);
    }
    return path;
}

}  // namespace vigilon
