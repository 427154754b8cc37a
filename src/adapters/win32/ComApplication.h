#pragma once

#include "adapters/win32/DispatchObject.h"
#include "platform/AutomationPort.h"

// The presentation application, obtained as _Application.
//
// Owns: its reference to the application, released with it (the application decides itself
// whether to stay running; it is never told to quit).
namespace slidevane {

class ComApplication : public AutomationApplication {
public:
    explicit ComApplication(DispatchObject application);
    std::unique_ptr<AutomationPresentations> Presentations() override;
    void SetVisible(int visible) override;

private:
    DispatchObject application_;
};

} // namespace slidevane
