#include "engine/escalation_record.h"

#include <algorithm>
#include <string>

#include "app/key_value.h"
#include "support/digits.h"

namespace vigilon {

void EscalationRecord::Load(std::int64_t nowSeconds) {
    if (!loaded_) {
        loaded_ = true;
        std::wstring text;
        GetKeyValue(registry_, RegistryRoot::CurrentUser, kKeyPath, kValueName, text);
        for (std::size_t start = 0; start < text.size();) {
            std::size_t const comma = std::min(text.find(L',', start), text.size());
            std::wstring_view const part = std::wstring_view(text).substr(start, comma - start);
            // Ten digits hold every second until 2286; anything else is no time of ours.
            std::int64_t value = 0;
            bool number = !part.empty() && part.size() <= 10;
            for (wchar_t const c : part) {
                number = number && IsDigit(c);
                value = value * 10 + (IsDigit(c) ? c - L'0' : 0);
            }
            if (number) times_.push_back(value);
            start = comma + 1;
        }
    }
    // A time a little ahead of now (the clock set back a while) still counts. One more than a day
    // ahead is no time of ours (a value written by hand, a clock set far back): kept, it would
    // lock escalation out for as long as it is ahead, so it is dropped.
    std::erase_if(times_, [&](std::int64_t time) {
        return nowSeconds - time >= kDaySeconds || time - nowSeconds > kDaySeconds;
    });
}

int EscalationRecord::InLastDay(std::int64_t nowSeconds) {
    Load(nowSeconds);
    return static_cast<int>(times_.size());
}

bool EscalationRecord::Add(std::int64_t nowSeconds) {
    Load(nowSeconds);
    times_.push_back(nowSeconds);
    return Save();
}

void EscalationRecord::TakeBack() {
    if (times_.empty()) return;
    times_.pop_back();
    Save();
}

bool EscalationRecord::Save() {
    std::wstring text;
    for (std::int64_t const time : times_) text += (text.empty() ? L"" : L",") + std::to_wstring(time);
    return registry_.WriteString(RegistryRoot::CurrentUser, kKeyPath, kValueName, text) == 0;
}

}  // namespace vigilon
