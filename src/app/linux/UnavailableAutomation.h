#pragma once

#include "platform/AutomationPort.h"

// The automation runtime of a build without the presentation application's adapter: every
// request for the application fails the way a missing automation server does (error 429), so a
// double-click reports it rather than doing nothing.
//
// Owns: nothing. It does not pretend that an application exists.
namespace slidevane {

class UnavailableAutomation : public AutomationRuntime {
public:
    explicit UnavailableAutomation(const std::string& /*program*/ = {}) {}
    // There is no office to start ahead.
    void StartAhead() {}

    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;
};

} // namespace slidevane
