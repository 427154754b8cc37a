#pragma once

#include "platform/AutomationPort.h"

// Obtaining the presentation application through COM, for the thread that runs the window.
//
// Owns: the thread's single-threaded COM apartment for its own lifetime (objects it hands out must
// be released before it goes), and the two ways to obtain the application: GetObject with an
// empty path name and CreateObject, both of which start a new instance of the class and ask it
// for _Application. It does not own the application's lifetime.
namespace slidevane {

class ComAutomationRuntime : public AutomationRuntime {
public:
    ComAutomationRuntime();
    ~ComAutomationRuntime() override;
    ComAutomationRuntime(const ComAutomationRuntime&) = delete;
    ComAutomationRuntime& operator=(const ComAutomationRuntime&) = delete;

    // A path name opens that document's object through its moniker instead.
    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;

private:
    bool initialised_ = false;
};

} // namespace slidevane
