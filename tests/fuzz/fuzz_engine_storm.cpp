// The watch engine on the fakes, driven by the fuzzer's bytes through the same happenings and
// invariants as the unit suite's storm: each byte pair chooses what happens next.
#include <cstdio>

#include "fakes/engine_storm.h"
#include "fuzz_input.h"

namespace {

class ByteChoices final : public vigilon::testing::Choices {
public:
    ByteChoices(std::uint8_t const* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t Below(std::uint32_t bound) override {
        std::uint32_t value = 0;
        for (int i = 0; i < 2 && at_ < size_; ++i) value = value << 8 | data_[at_++];
        return value % bound;
    }
    bool Over() const { return at_ >= size_; }

private:
    std::uint8_t const* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    ByteChoices choices(data, size);
    vigilon::testing::EngineStorm storm(choices);
    for (int step = 0; step < 2000 && !choices.Over(); ++step) {
        std::string const failure = storm.Step();
        if (failure.empty()) continue;
        std::fprintf(stderr, "%s\nlast steps:\n%s\n", failure.c_str(), storm.Trace().c_str());
        vigilon::fuzzing::Require(false);
    }
    std::string const failure = storm.Finish();
    if (!failure.empty()) std::fprintf(stderr, "%s\nlast steps:\n%s\n", failure.c_str(), storm.Trace().c_str());
    vigilon::fuzzing::Require(failure.empty());
    return 0;
}
