#include "engine/watch_engine.h"

namespace vigilon {

// Not built yet: no program has a check.
WatchEngine::AskedCheck WatchEngine::AskCheck(std::wstring_view name) {
    if (programs_.FindByName(name) == 0) return {};
    return {AskedCheck::Kind::NoCheck, 0};
}

std::vector<WatchEngine::SettledCheck> WatchEngine::SettledChecks() { return {}; }

}  // namespace vigilon
