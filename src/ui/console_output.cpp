#include "ui/console_output.h"

#include <windows.h>

#include <string>

#include "platform/win32/win32_owners.h"
#include "support/utf8.h"

namespace vigilon {

void PrintToConsole(std::wstring const& text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    UniqueKernelHandle console;
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        console = OwnFileHandle(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        output = console.Get();
        if (output == nullptr) return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(output, &mode)) {
        WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string const utf8 = ToUtf8(text);
    WriteFile(output, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace vigilon
