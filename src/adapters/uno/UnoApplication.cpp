#include "UnoApplication.h"

#include "UnoPresentations.h"
#include "shell/RuntimeError.h"

namespace slidevane {

UnoApplication::UnoApplication(std::shared_ptr<OfficeConnection> office)
    : office_(std::move(office)), hidden_(std::make_shared<HiddenPresentations>()) {}

std::unique_ptr<AutomationPresentations> UnoApplication::Presentations() {
    return std::make_unique<UnoPresentations>(office_, hidden_);
}

void UnoApplication::SetVisible(int visible) {
    try {
        office_->Call("Visible", [&] {
            // One call to the office itself, so that an office gone since the presentations
            // were added is an error here rather than a window that never appears.
            office_->Desktop()->getCurrentFrame();
            hidden_->SetVisible(visible != msoFalse);
        });
    } catch (const RuntimeError&) {
        if (office_->Lost()) {
            hidden_->Clear();
        }
        throw;
    }
}

} // namespace slidevane
