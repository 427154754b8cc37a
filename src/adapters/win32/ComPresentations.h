#pragma once

#include "adapters/win32/DispatchObject.h"
#include "platform/AutomationPort.h"

// The application's Presentations collection, obtained as Presentations.
//
// Owns: its reference to the collection. The presentations it adds belong to the application.
namespace slidevane {

class ComPresentations : public AutomationPresentations {
public:
    explicit ComPresentations(DispatchObject presentations);
    std::unique_ptr<AutomationPresentation> Add(int withWindow) override;

private:
    DispatchObject presentations_;
};

} // namespace slidevane
