#pragma once

#include "platform/window_survey.h"

namespace vigilon::testing {

// The desktop a test lays out for a user choosing a window; each survey gives it as it is then.
class FakeWindowSurvey final : public WindowSurvey {
public:
    WindowSurveyResult desktop;
    int surveys = 0;
    WindowSurveyResult Survey() override {
        ++surveys;
        return desktop;
    }
};

}  // namespace vigilon::testing
