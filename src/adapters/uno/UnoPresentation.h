#pragma once

#include "HiddenPresentations.h"
#include "platform/AutomationPort.h"

#include <com/sun/star/uno/XInterface.hpp>
#include <memory>

// One presentation that Presentations().Add created. Its document is made when its template is
// applied: the office starts it from the template, as it does for a new document from a
// template, and it stays hidden until the application is shown.
//
// Owns: nothing but its slot among the application's hidden presentations. A template that
// cannot be applied leaves no document behind.
namespace slidevane {

class UnoPresentation : public AutomationPresentation {
public:
    UnoPresentation(std::shared_ptr<HiddenPresentations> hidden,
                    std::shared_ptr<HiddenPresentations::Slot> slot);

    void ApplyTemplate(const std::string& fileName) override;

    // The document as the office knows it (for inspection); empty until a template is applied.
    const css::uno::Reference<css::uno::XInterface>& Document() const { return slot_->document; }

private:
    std::shared_ptr<HiddenPresentations> hidden_;
    std::shared_ptr<HiddenPresentations::Slot> slot_;
};

} // namespace slidevane
