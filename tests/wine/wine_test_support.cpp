#include "wine_test_support.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <shellapi.h>

namespace vigilon::testing {
namespace {

constexpr wchar_t kTestWindowClass[] = L"VigilonTestWindow";

void RegisterTestClass() {
    static bool const registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kTestWindowClass;
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered) throw std::runtime_error("cannot register the test window class");
}


// Reads a value's type and bytes; false when there is none.
bool SaveValue(HKEY root, std::wstring const& path, std::wstring const& name, DWORD& type, std::string& data) {
    DWORD size = 0;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    data.resize(size);
    return RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size) ==
           ERROR_SUCCESS;
}

}  // namespace

TempFolder::TempFolder(std::wstring const& base) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    static int counter = 0;
    // Wine gives out the same process ids again after its server restarts, and a folder a run
    // could not delete may still be there: the next free name is taken.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        path_ = (base.empty() ? std::wstring(temp) : base) + L"vigilon-test-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    throw std::runtime_error("cannot create temp folder");
}

TempFolder::~TempFolder() {
    std::wstring from = path_;
    from.push_back(L'\0');  // the list of paths ends with two zero characters
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

TestWindow::TestWindow(std::wstring_view caption, bool visible, HWND parent) {
    RegisterTestClass();
    DWORD const style = (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | (visible ? WS_VISIBLE : 0);
    window_ = CreateWindowExW(0, kTestWindowClass, std::wstring(caption).c_str(), style, 10, 10, 200,
                              100, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        throw std::runtime_error("cannot create test window: error " + std::to_string(GetLastError()));
    }
}

TestWindow::~TestWindow() { DestroyWindow(window_); }

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::wstring path, std::wstring name, DWORD type,
                                         void const* data, DWORD size)
    : root_(root), path_(std::move(path)), name_(std::move(name)) {
    hadValue_ = SaveValue(root_, path_, name_, oldType_, oldData_);
    if (RegSetKeyValueW(root_, path_.c_str(), name_.c_str(), type, data, size) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set registry value");
    }
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::wstring path, std::wstring name)
    : root_(root), path_(std::move(path)), name_(std::move(name)) {
    hadValue_ = SaveValue(root_, path_, name_, oldType_, oldData_);
    RegDeleteKeyValueW(root_, path_.c_str(), name_.c_str());
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (hadValue_) {
        RegSetKeyValueW(root_, path_.c_str(), name_.c_str(), oldType_, oldData_.data(),
                        static_cast<DWORD>(oldData_.size()));
    } else {
        RegDeleteKeyValueW(root_, path_.c_str(), name_.c_str());
    }
}

std::string ReadFileBytes(std::wstring const& path) {
    // Sharing every access, as a viewer may: a program that writes the file meanwhile is not refused.
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

}  // namespace vigilon::testing
