#include "support/shown_url.h"

#include <algorithm>

namespace vigilon {

std::wstring ShownUrl(std::wstring_view url) {
    std::size_t const scheme = url.find(L"://");
    if (scheme == std::wstring_view::npos) return std::wstring(url);
    std::size_t const hostAt = scheme + 3;
    std::size_t const hostEnd = std::min(url.find_first_of(L"/?#", hostAt), url.size());
    std::size_t const user = url.substr(hostAt, hostEnd - hostAt).rfind(L'@');
    std::wstring shown(url.substr(0, hostAt));
    shown += url.substr(user == std::wstring_view::npos ? hostAt : hostAt + user + 1);
    return shown.substr(0, std::min(shown.find_first_of(L"?#", hostAt), shown.size()));
}

}  // namespace vigilon
