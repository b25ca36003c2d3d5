// The numeric reading of the settings file's program count.
#include "app/program_count.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::optional<int> const count = ParseProgramCount(fuzzing::WideText(data, size));
    fuzzing::Require(!count || (*count >= 0 && *count <= kMaxStoredCount));
    return 0;
}
