#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// A text as it may be written out (the history, the event log, a report): a URL in it loses its
// user name and password, its query and its fragment, which may hold secrets. A text without
// "://" is given back as it is.
std::wstring ShownUrl(std::wstring_view url);

}  // namespace vigilon
