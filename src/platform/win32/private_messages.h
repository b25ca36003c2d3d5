#pragma once

#include <cstdint>

namespace vigilon {

// A number drawn once per process, that only this process knows. Private WM_APP messages that
// change state carry it: any program on the desktop can post a WM_APP message to Vigilon's window,
// but not one with the token, so a forged one is ignored. Even: its lowest bit is free to carry a
// yes or no.
std::uintptr_t PrivateMessageToken();

}  // namespace vigilon
