#include "engine/outputs/trouble_screenshots.h"

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

std::vector<std::wstring> ScreenshotsBeyond(std::vector<FileEntry> files, std::size_t keep, std::wstring_view saved) {
    std::size_t const before = files.size();
    std::erase_if(files, [&](FileEntry const& file) { return file.name == saved; });
    std::size_t const room = files.size() < before ? (keep == 0 ? 0 : keep - 1) : keep;
    std::erase_if(files, [](FileEntry const& file) { return !IsScreenshotName(file.name); });
    if (files.size() <= room) return {};
    std::sort(files.begin(), files.end(), [](FileEntry const& a, FileEntry const& b) {
        return a.written != b.written ? a.written < b.written : a.name < b.name;
    });
    std::vector<std::wstring> beyond;
    for (std::size_t i = 0; i < files.size() - room; ++i) beyond.push_back(files[i].name);
    return beyond;
}

TroubleScreenshots::TroubleScreenshots(Platform& platform, std::wstring const& historyPath) : platform_(platform) {
    std::size_t const slash = historyPath.find_last_of(L'\\');
    folder_ = (slash == std::wstring::npos ? std::wstring() : historyPath.substr(0, slash + 1)) + L"screenshots";
}

TroubleScreenshots::~TroubleScreenshots() {
    for (auto const& [id, shot] : shots_) platform_.capture.Drop(shot.ticket);
}

std::uint32_t TroubleScreenshots::Begin(WindowHandle window, std::wstring_view program, std::wstring_view event,
                                        bool fromScreen) {
    if (window == 0 || !platform_.files.CreatePrivateFolder(folder_)) return 0;
    std::wstring name = ScreenshotFileName(platform_.events.LocalTimeNow(), program, event);
    std::uint32_t const ticket = platform_.capture.Begin(window, folder_ + L"\\" + name, fromScreen);
    if (++last_ == 0) ++last_;
    shots_[last_] = {ticket, std::move(name), Now() + kLimit};
    return last_;
}

std::optional<std::wstring> TroubleScreenshots::Take(std::uint32_t id) {
    auto const it = shots_.find(id);
    if (it == shots_.end()) return std::wstring();
    Shot const shot = it->second;
    CaptureResult const result = platform_.capture.Take(shot.ticket);
    if (result == CaptureResult::Pending) {
        if (Now() < shot.deadline) return std::nullopt;
        platform_.capture.Drop(shot.ticket);
    }
    shots_.erase(it);
    return result == CaptureResult::Saved ? Kept(shot.name) : std::wstring();
}

void TroubleScreenshots::Expire() {
    std::int64_t const now = Now();
    std::erase_if(shots_, [&](auto const& entry) {
        if (now < entry.second.deadline + kForgotten) return false;
        platform_.capture.Drop(entry.second.ticket);
        return true;
    });
}

std::wstring TroubleScreenshots::Kept(std::wstring const& name) {
    for (std::wstring const& old : ScreenshotsBeyond(platform_.files.FilesIn(folder_, kSuffix), kKeep, name)) {
        platform_.files.RemoveFile(folder_ + L"\\" + old);
    }
    // Named only when it is there: whoever reads the path looks for the file.
    std::wstring const path = folder_ + L"\\" + name;
    return platform_.files.QueryFileAttributes(path).attributes == kInvalidFileAttributes ? std::wstring() : path;
}

}  // namespace vigilon
