#include "engine/graceful_restart.h"

namespace vigilon {

GracefulRestart::Step GracefulRestart::Next(std::int64_t now) const {
    if (!active_) return Step::None;
    if (shot_ != 0) return Step::Picture;
    if (!closeAsked_) return Step::Close;
    if (answer_ == Answer::Yes) return Step::Spare;
    if (answer_ == Answer::No) return Step::End;
    if (askedAgain_ || now - closeAskedAt_ < kTimeToClose) return Step::None;
    return Step::AskAgain;
}

}  // namespace vigilon
