#pragma once

#include "engine/watch_engine.h"

namespace vigilon {

// Tells the engine that one of Vigilon's own modal dialogs is shown for as long as this lives: the
// idle restart holds meanwhile, so nobody's session is taken away under the dialog.
class DialogShown {
public:
    explicit DialogShown(WatchEngine& engine) : engine_(engine) { engine_.SetDialogShown(true); }
    ~DialogShown() { engine_.SetDialogShown(false); }
    DialogShown(DialogShown const&) = delete;
    DialogShown& operator=(DialogShown const&) = delete;

private:
    WatchEngine& engine_;
};

}  // namespace vigilon
