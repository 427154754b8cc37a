#pragma once

#include "platform/AutomationPort.h"

// A presentation application that only counts what it is asked to do: it keeps no history, so a
// long run's memory shows the program's own use and not a growing record.
//
// Owns: the counts. It does not open anything.
namespace slidevane::bench {

class CountingAutomation : public AutomationRuntime {
public:
    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;

    long applied = 0; // templates applied: one per double-click that reached the office
    long shown = 0;

private:
    class Application;
    class Presentations;
    class Presentation;
};

} // namespace slidevane::bench
