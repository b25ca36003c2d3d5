#pragma once

#include <windows.h>

namespace vigilon {

// The function `name` of `module`, as `Function`; null where the module or the function is
// missing: a function older versions of Windows lack, or a library loaded only when it is needed.
template <typename Function>
Function SystemFunction(HMODULE module, char const* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace vigilon
