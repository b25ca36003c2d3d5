#include "controls/property_bag.h"

#include "support/text_case.h"

namespace vigilon {

MemoryPropertyBag::MemoryPropertyBag(std::initializer_list<std::pair<std::wstring const, BagValue>> entries) {
    for (auto const& [key, value] : entries) values_[ToUpperText(key)] = value;
}

BagValue MemoryPropertyBag::Read(std::wstring_view key, BagValue const& defaultValue) const {
    auto const it = values_.find(ToUpperText(key));
    return it == values_.end() ? defaultValue : it->second;
}

void MemoryPropertyBag::Write(std::wstring_view key, BagValue const& value, BagValue const& defaultValue) {
    if (value == defaultValue) return;
    values_[ToUpperText(key)] = value;
}

bool MemoryPropertyBag::Has(std::wstring_view key) const { return values_.count(ToUpperText(key)) != 0; }

}  // namespace vigilon
