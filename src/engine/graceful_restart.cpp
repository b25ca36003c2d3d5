#include "engine/graceful_restart.h"

namespace vigilon {

std::wstring_view RestartEvent(RestartReason reason) {
    switch (reason) {
    case RestartReason::Hung: return L"hung";
    case RestartReason::Memory: return L"memory";
    case RestartReason::Scheduled: return L"scheduled";
    case RestartReason::Requested: return L"restart";
    }
    return L"restart";
}

GracefulRestart::Step GracefulRestart::Next(std::int64_t now) const {
    if (!active_) return Step::None;
    if (answer_ == Answer::Yes) return Step::Spare;
    if (answer_ == Answer::No) return Step::End;
    if (askedAgain_ || now - closeAskedAt_ < kTimeToClose) return Step::None;
    return Step::AskAgain;
}

}  // namespace vigilon
