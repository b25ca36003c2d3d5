// The executable taken out of the system's open command for jar files.
#include "app/open_command.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::wstring const command = fuzzing::WideText(data, size);
    std::wstring const exe = ExeFromOpenCommandText(command);
    fuzzing::Require(exe.size() <= command.size());
    if (!command.empty() && command.front() == L'"') {
        fuzzing::Require(exe.find(L'"') == std::wstring::npos);
        fuzzing::Require(command.compare(1, exe.size(), exe) == 0);
    } else {
        fuzzing::Require(exe.empty() || (exe.front() != L' ' && exe.back() != L' '));
        fuzzing::Require(command.find(exe) != std::wstring::npos);
    }
    return 0;
}
