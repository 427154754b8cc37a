#include "UnoApplication.h"

#include "UnoPresentations.h"

namespace slidevane {

UnoApplication::UnoApplication(std::shared_ptr<OfficeConnection> office)
    : office_(office), hidden_(std::make_shared<HiddenPresentations>(std::move(office))) {}

std::unique_ptr<AutomationPresentations> UnoApplication::Presentations() {
    return std::make_unique<UnoPresentations>(hidden_);
}

void UnoApplication::SetVisible(int visible) {
    if (visible != msoFalse) {
        hidden_->ShowAll();
    }
}

} // namespace slidevane
