#pragma once

namespace vigilon {

// The title of every message box that does not name one.
inline constexpr wchar_t kApplicationTitle[] = L"Vigilon";

}  // namespace vigilon
