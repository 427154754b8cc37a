#pragma once

#include "platform/AutomationPort.h"

#include <string>
#include <vector>

// A presentation application that only writes down the calls it is given, in order.
namespace slidevane::test {

class RecordingAutomation : public AutomationRuntime {
public:
    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;

    std::vector<std::string> calls;
    // Whether the busy pointer was on when the office was asked for.
    std::vector<bool> busyWhenAsked;

private:
    class Application;
    class Presentations;
    class Presentation;
};

} // namespace slidevane::test
