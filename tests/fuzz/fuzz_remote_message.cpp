// The messages another process sends the running copy: whatever the bytes, decoding never fails
// but by refusing, and what it takes, encoded again, gives back the very same bytes.
#include <vector>

#include "app/remote_command.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    using namespace vigilon;
    std::span<std::uint8_t const> const bytes(data, size);
    if (auto const request = DecodeRequest(bytes)) {
        std::vector<std::uint8_t> const again = EncodeRequest(*request);
        fuzzing::Require(again == std::vector<std::uint8_t>(data, data + size));
    }
    if (auto const answer = DecodeAnswer(bytes)) {
        std::vector<std::uint8_t> const again = EncodeAnswer(*answer);
        fuzzing::Require(again == std::vector<std::uint8_t>(data, data + size));
    }
    // The command line's switches, from the same bytes as text: only a verb that names a program carries one.
    if (auto const request = RemoteRequestFromArguments(fuzzing::WideText(data, size))) {
        fuzzing::Require(NamesProgram(request->verb) || request->program.empty());
    }
    return 0;
}
