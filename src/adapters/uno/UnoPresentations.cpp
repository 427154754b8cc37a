#include "UnoPresentations.h"

#include "UnoPresentation.h"
#include "platform/RuntimeError.h"

namespace slidevane {

UnoPresentations::UnoPresentations(std::shared_ptr<HiddenPresentations> hidden)
    : hidden_(std::move(hidden)) {}

std::unique_ptr<AutomationPresentation> UnoPresentations::Add(int /*withWindow*/) {
    if (hidden_->Office()->Lost()) {
        throw RuntimeError::Automation("Presentations.Add",
                                       "the connection to the office was lost");
    }
    return std::make_unique<UnoPresentation>(hidden_, hidden_->Add());
}

} // namespace slidevane
