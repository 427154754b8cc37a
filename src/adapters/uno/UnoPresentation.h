#pragma once

#include "HiddenPresentations.h"
#include "OfficeConnection.h"
#include "platform/AutomationPort.h"

#include <com/sun/star/frame/XModel.hpp>
#include <memory>

// One presentation that Presentations().Add created, hidden until the application is shown.
//
// Owns: its reference to the document. When its template cannot be applied it closes the
// document, because an invisible presentation is of no use to anyone and nothing else would
// ever close it; a shown presentation belongs to the user and is never closed.
namespace slidevane {

class UnoPresentation : public AutomationPresentation {
public:
    UnoPresentation(std::shared_ptr<OfficeConnection> office,
                    std::shared_ptr<HiddenPresentations> hidden,
                    css::uno::Reference<css::frame::XModel> document);

    void ApplyTemplate(const std::string& fileName) override;

    // The document as the office knows it (for inspection; the same bridge must be used).
    const css::uno::Reference<css::frame::XModel>& Document() const { return document_; }

private:
    void Abandon();

    std::shared_ptr<OfficeConnection> office_;
    std::shared_ptr<HiddenPresentations> hidden_;
    css::uno::Reference<css::frame::XModel> document_;
};

} // namespace slidevane
