#pragma once

#include "HiddenPresentations.h"
#include "platform/AutomationPort.h"

#include <memory>

// The application's Presentations collection: it adds new presentations.
//
// Owns: nothing but shares the application's hidden presentations; each added presentation is
// owned by the caller through the returned object.
namespace slidevane {

class UnoPresentations : public AutomationPresentations {
public:
    explicit UnoPresentations(std::shared_ptr<HiddenPresentations> hidden);

    // The new presentation stays hidden until the application is shown, whatever `withWindow`
    // says: its design is applied first so the user never sees a plain one. The office makes
    // its document when the template is applied, so adding costs no call into the office.
    std::unique_ptr<AutomationPresentation> Add(int withWindow) override;

private:
    std::shared_ptr<HiddenPresentations> hidden_;
};

} // namespace slidevane
