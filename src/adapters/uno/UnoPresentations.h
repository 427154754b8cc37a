#pragma once

#include "HiddenPresentations.h"
#include "OfficeConnection.h"
#include "platform/AutomationPort.h"

#include <memory>

// The application's Presentations collection: it adds new, empty presentations.
//
// Owns: nothing but shares the application's connection and its list of hidden presentations;
// each added presentation is owned by the caller through the returned object.
namespace slidevane {

class UnoPresentations : public AutomationPresentations {
public:
    UnoPresentations(std::shared_ptr<OfficeConnection> office,
                     std::shared_ptr<HiddenPresentations> hidden);

    // The new presentation's window stays hidden until the application is shown, whatever
    // `withWindow` says: the design is applied first so the user never sees the plain one.
    std::unique_ptr<AutomationPresentation> Add(int withWindow) override;

private:
    std::shared_ptr<OfficeConnection> office_;
    std::shared_ptr<HiddenPresentations> hidden_;
};

} // namespace slidevane
