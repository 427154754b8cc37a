#pragma once

#include "adapters/win32/DispatchObject.h"
#include "platform/AutomationPort.h"

// One presentation of the application, obtained as _Presentation.
//
// Owns: its reference to the presentation, released with it. It never closes the presentation.
namespace slidevane {

class ComPresentation : public AutomationPresentation {
public:
    explicit ComPresentation(DispatchObject presentation);
    void ApplyTemplate(const std::string& fileName) override;

private:
    DispatchObject presentation_;
};

} // namespace slidevane
