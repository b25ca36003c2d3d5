#include "platform/win32/win32_window_survey.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/win32/process_image_path.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"
#include "support/version_resource.h"

namespace vigilon {
namespace {

// Longer captions are cut here: the start of a caption is what tells a window.
constexpr std::size_t kCaptionChars = 1024;
// Window class names are at most 256 characters.
constexpr int kClassChars = 257;

BOOL CALLBACK AddVisibleWindow(HWND window, LPARAM context) {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

// Reads the caption into `seen`, cut at kCaptionChars.
void ReadCaption(HWND window, SurveyedWindow& seen) {
    // The text the system keeps for the window: no WM_GETTEXT is sent, so a program that has
    // stopped responding cannot hold the caller up. One character more than is kept is read, to
    // tell a caption that was cut from one of exactly the length kept.
    wchar_t buffer[kCaptionChars + 2] = L"";
    int const n = InternalGetWindowText(window, buffer, static_cast<int>(kCaptionChars + 2));
    std::size_t const length = n > 0 ? static_cast<std::size_t>(n) : 0;
    seen.captionCut = length > kCaptionChars;
    seen.caption.assign(buffer, seen.captionCut ? kCaptionChars : length);
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[kClassChars] = L"";
    int const n = GetClassNameW(window, buffer, kClassChars);
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// The FileDescription of the executable at `path`, mapped as data and resources only, so none of
// its code runs; empty when it has none.
std::wstring ReadDescription(std::wstring const& path) {
    UniqueModule const image(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) return {};
    HRSRC const found = FindResourceW(image.Get(), MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (found == nullptr) return {};
    HGLOBAL const loaded = LoadResource(image.Get(), found);
    void const* const data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    std::span<std::uint8_t const> const resource(static_cast<std::uint8_t const*>(data), SizeofResource(image.Get(), found));
    return VersionStringOfAnyTable(resource, L"FileDescription").value_or(L"");
}

struct DescriptionJob {
    std::shared_ptr<Win32WindowSurvey::Descriptions> descriptions;
    std::wstring path;
};

DWORD WINAPI ReadDescriptionJob(void* parameter) {
    std::unique_ptr<DescriptionJob> const job(static_cast<DescriptionJob*>(parameter));
    try {
        std::wstring description = ReadDescription(job->path);
        std::lock_guard lock(job->descriptions->mutex);
        job->descriptions->read[job->path] = std::move(description);
    } catch (...) {
        // Out of memory: the program is named by its file instead.
    }
    return 0;
}

}  // namespace

std::wstring Win32WindowSurvey::DescriptionOf(std::wstring const& imagePath) {
    {
        std::lock_guard lock(descriptions_->mutex);
        auto const [known, added] = descriptions_->read.try_emplace(imagePath);
        if (!added) return known->second;
    }
    auto job = std::make_unique<DescriptionJob>(DescriptionJob{descriptions_, imagePath});
    if (QueueUserWorkItem(ReadDescriptionJob, job.get(), WT_EXECUTELONGFUNCTION)) job.release();  // the pool's now
    return {};
}

WindowSurveyResult Win32WindowSurvey::Survey() {
    WindowSurveyResult result;
    result.ownProcessId = GetCurrentProcessId();
    if (HWND const shell = GetShellWindow()) {
        DWORD shellProcess = 0;
        GetWindowThreadProcessId(shell, &shellProcess);
        result.shellProcessId = shellProcess;
    }
    std::vector<HWND> visible;
    EnumWindows(AddVisibleWindow, reinterpret_cast<LPARAM>(&visible));
    std::map<DWORD, std::wstring> images;  // each process's image, read once in this survey
    for (HWND const window : visible) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        SurveyedWindow seen{FromHwnd(window), {}, ClassOf(window), processId, {}, {}};
        ReadCaption(window, seen);
        // Vigilon's own windows and the shell's are not read further: they are never listed.
        if (processId != result.ownProcessId && processId != result.shellProcessId) {
            auto image = images.find(processId);
            if (image == images.end()) image = images.emplace(processId, ProcessImagePathOf(processId)).first;
            seen.imagePath = image->second;
            if (!seen.imagePath.empty()) seen.fileDescription = DescriptionOf(seen.imagePath);
        }
        result.windows.push_back(std::move(seen));
    }
    return result;
}

}  // namespace vigilon
