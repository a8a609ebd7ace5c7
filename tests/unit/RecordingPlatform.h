#pragma once
// A stand-in for the launcher's platform that records every call in order, and answers as the
// scenario of the test says.

#include "Platform.h"

#include <string>
#include <vector>

namespace recording
{

struct Scenario
{
    bool mutexExists = false;
    platform::MutexCreation creation{7, false};
    bool executablePathReadable = true;
    std::string executablePath = "/opt/kestrel/LauncherKestrel";
    kestrel::LaunchResult openResult = 42;
    bool openThrows = false;
};

// Resets the record and sets the scenario for the next run.
void Start(const Scenario& scenario);
const std::vector<std::string>& Calls();

} // namespace recording
