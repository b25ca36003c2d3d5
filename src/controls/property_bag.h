#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vigilon {

// A stored property: text, a 32-bit integer, a boolean or a single-precision number.
using BagValue = std::variant<std::wstring, std::int32_t, bool, float>;

// Where a control keeps its state with its host window's layout. Keys match without regard to case.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    // The value stored under `key`, or `defaultValue` when none is.
    virtual BagValue Read(std::wstring_view key, BagValue const& defaultValue) const = 0;

    // Stores `value` under `key`, but only when it differs from `defaultValue`.
    virtual void Write(std::wstring_view key, BagValue const& value, BagValue const& defaultValue) = 0;
};

// A property bag held in memory: the form a stored layout takes in the program.
class MemoryPropertyBag final : public PropertyBag {
public:
    MemoryPropertyBag() = default;
    MemoryPropertyBag(std::initializer_list<std::pair<std::wstring const, BagValue>> entries);

    BagValue Read(std::wstring_view key, BagValue const& defaultValue) const override;
    void Write(std::wstring_view key, BagValue const& value, BagValue const& defaultValue) override;

    bool Has(std::wstring_view key) const;
    std::size_t Size() const { return values_.size(); }

private:
    std::map<std::wstring, BagValue> values_;  // keyed by the upper-cased key
};

// Reads a value of type T; a stored value of another type gives `fallback`.
template <class T>
T BagAs(BagValue const& value, T fallback) {
    if (auto const* v = std::get_if<T>(&value)) return *v;
    return fallback;
}

}  // namespace vigilon
