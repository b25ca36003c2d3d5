#pragma once

#include <windows.h>
#include <shlobj.h>

namespace vigilon {

// An item-identifier list from the shell, freed with CoTaskMemFree when the owner goes away.
class ItemIdList {
public:
    ItemIdList() = default;
    explicit ItemIdList(PIDLIST_ABSOLUTE list) : list_(list) {}
    ItemIdList(ItemIdList const&) = delete;
    ItemIdList& operator=(ItemIdList const&) = delete;
    ItemIdList(ItemIdList&& other) noexcept : list_(other.list_) { other.list_ = nullptr; }
    ItemIdList& operator=(ItemIdList&& other) noexcept {
        if (this != &other) {
            CoTaskMemFree(list_);
            list_ = other.list_;
            other.list_ = nullptr;
        }
        return *this;
    }
    ~ItemIdList() { CoTaskMemFree(list_); }

    PIDLIST_ABSOLUTE Get() const { return list_; }
    // For functions that hand back a new list: frees the current one first.
    PIDLIST_ABSOLUTE* Receive() {
        CoTaskMemFree(list_);
        list_ = nullptr;
        return &list_;
    }
    explicit operator bool() const { return list_ != nullptr; }

private:
    PIDLIST_ABSOLUTE list_ = nullptr;
};

}  // namespace vigilon
