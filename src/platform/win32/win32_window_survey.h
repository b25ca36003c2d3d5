#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/window_survey.h"

namespace vigilon {

// The survey from EnumWindows. Each window's caption is read as the system keeps it, without a
// message to its program; each process's image once per survey. An executable's description is
// read on a thread of the system's pool (the file may lie on a share that answers slowly) and kept
// for the life of Vigilon: a survey gives it once it has been read.
class Win32WindowSurvey final : public WindowSurvey {
public:
    WindowSurveyResult Survey() override;

    // The descriptions read and being read, by image path; shared with the pool's threads.
    struct Descriptions {
        std::mutex mutex;
        std::map<std::wstring, std::wstring> read;  // an empty text: being read, or none
    };

private:
    // The description of `imagePath` as far as it is known; a path not seen before is read later.
    std::wstring DescriptionOf(std::wstring const& imagePath);

    std::shared_ptr<Descriptions> descriptions_ = std::make_shared<Descriptions>();
};

}  // namespace vigilon
