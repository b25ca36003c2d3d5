// Path handling: the folder part of a path and the backslash before a file name.
#include "engine/launch_text.h"
#include "fuzz_input.h"
#include "support/file_utils.h"
#include "support/folders.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::wstring const path = fuzzing::WideText(data, size);

    std::wstring const directory = DirectoryOf(path);
    fuzzing::Require(path.compare(0, directory.size(), directory) == 0);
    fuzzing::Require(directory.empty() || directory.back() == L'\\' || (directory.size() == 2 && directory[1] == L':'));

    std::wstring const joined = AddBackslash(path);
    fuzzing::Require(joined == path || joined == path + L"\\");
    fuzzing::Require(AddBackslash(joined) == joined);

    std::wstring const stripped = StripBackslash(path);
    fuzzing::Require(stripped == path || stripped + L"\\" == path);
    return 0;
}
