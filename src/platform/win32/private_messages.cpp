#include "platform/win32/private_messages.h"

#include <random>

namespace vigilon {

std::uintptr_t PrivateMessageToken() {
    static std::uintptr_t const token = [] {
        std::random_device source;  // the system's random numbers
        std::uint64_t const value = (static_cast<std::uint64_t>(source()) << 32) ^ source();
        return static_cast<std::uintptr_t>(value) & ~std::uintptr_t{1};
    }();
    return token;
}

}  // namespace vigilon
