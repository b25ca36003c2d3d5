// The parameter text a program is started with, from its prefix, command and postfix; the input
// holds the three separated by line breaks.
#include "engine/launch_text.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::wstring const text = fuzzing::WideText(data, size);
    std::size_t const a = text.find(L'\n');
    std::size_t const b = a == std::wstring::npos ? a : text.find(L'\n', a + 1);
    std::wstring const prefix = text.substr(0, a);
    std::wstring const command = a == std::wstring::npos ? L"" : text.substr(a + 1, b == std::wstring::npos ? b : b - a - 1);
    std::wstring const postfix = b == std::wstring::npos ? L"" : text.substr(b + 1);
    std::wstring const parameters = LaunchParameters(prefix, command, postfix);
    fuzzing::Require(parameters.size() <= prefix.size() + command.size() + postfix.size() + 5);
    if (!command.empty()) fuzzing::Require(parameters.find(L"\"" + command + L"\"") != std::wstring::npos);
    if (prefix.empty() && postfix.empty()) fuzzing::Require(parameters == (command.empty() ? L"" : L"\"" + command + L"\""));
    return 0;
}
