#pragma once

#include "catalogue/Catalogue.h"
#include "platform/AutomationPort.h"
#include "platform/DialogPort.h"
#include "state/BrowserState.h"

#include <string>

// Opens the selected template: a new presentation in the presentation application with the
// template applied as its design, or the purchase message when the pack lacks the template.
//
// Owns: the conversation with the application for one double-click, with one retry through the
// second way of obtaining it. It keeps no reference to the application afterwards and never
// closes a presentation or the application.
namespace slidevane {

class TemplateOpener {
public:
    TemplateOpener(const BrowserState& state, Catalogue& catalogue, AutomationRuntime& automation,
                   DialogPort& dialog);

    void OpenSelectedTemplate();
    void OpenPresentation(std::string path);
    void StartPresentationApp(const std::string& path);

private:
    const BrowserState& state_;
    Catalogue& catalogue_;
    AutomationRuntime& automation_;
    DialogPort& dialog_;
};

} // namespace slidevane
