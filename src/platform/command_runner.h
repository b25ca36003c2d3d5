#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace vigilon {

// The user's own commands, run in the background.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    using Variables = std::span<std::pair<std::wstring, std::wstring> const>;

    // Starts `commandLine` through the command interpreter, without a window and without waiting
    // for it, with `variables` added to this process's environment. The command's id, or nothing
    // when it could not be started.
    virtual std::optional<std::uint32_t> Start(std::wstring_view commandLine, Variables variables) = 0;

    // True once the command has ended; it is then forgotten.
    virtual bool Finished(std::uint32_t id) = 0;

    // Ends the command at once, and forgets it.
    virtual void End(std::uint32_t id) = 0;
};

}  // namespace vigilon
