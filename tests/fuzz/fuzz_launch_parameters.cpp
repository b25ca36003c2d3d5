// The parameter text a program is started with, from its prefix, command and postfix; the input
// holds the three separated by line breaks. The quoted command must come back whole when a
// program splits its command line by the usual rules.
#include "engine/launch_text.h"
#include "fuzz_input.h"

namespace {

// Reads one argument that starts at `text[0]` by the usual command-line rules; `end` receives
// where it stopped.
std::wstring ReadArgument(std::wstring const& text, std::size_t& end) {
    std::wstring argument;
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t backslashes = 0;
        while (i < text.size() && text[i] == L'\\') {
            ++backslashes;
            ++i;
        }
        if (i < text.size() && text[i] == L'"') {
            argument.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 1) {
                argument += L'"';
            } else {
                quoted = !quoted;
            }
            ++i;
            continue;
        }
        argument.append(backslashes, L'\\');
        if (i >= text.size() || (!quoted && (text[i] == L' ' || text[i] == L'\t'))) break;
        argument += text[i++];
    }
    end = i;
    return argument;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::wstring const text = fuzzing::WideText(data, size);
    std::size_t const a = text.find(L'\n');
    std::size_t const b = a == std::wstring::npos ? a : text.find(L'\n', a + 1);
    std::wstring const prefix = text.substr(0, a);
    std::wstring const command = a == std::wstring::npos ? L"" : text.substr(a + 1, b == std::wstring::npos ? b : b - a - 1);
    std::wstring const postfix = b == std::wstring::npos ? L"" : text.substr(b + 1);

    std::wstring const quoted = QuoteArgument(command);
    std::size_t end = 0;
    fuzzing::Require(ReadArgument(quoted, end) == command);
    fuzzing::Require(end == quoted.size());

    std::wstring const parameters = LaunchParameters(prefix, command, postfix);
    if (!command.empty()) fuzzing::Require(parameters.find(quoted) != std::wstring::npos);
    if (prefix.empty() && postfix.empty()) fuzzing::Require(parameters == (command.empty() ? L"" : quoted));
    return 0;
}
