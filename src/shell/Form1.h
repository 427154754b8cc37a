#pragma once

#include "catalogue/Catalogue.h"
#include "catalogue/Module1.h"
#include "platform/AutomationPort.h"
#include "platform/Control.h"
#include "platform/DialogPort.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryWatch.h"
#include "platform/ShellPort.h"
#include "platform/WindowPort.h"
#include "presentation/PresentationDetector.h"
#include "presentation/TemplateOpener.h"
#include "preview/PreviewPane.h"
#include "state/BrowserState.h"
#include "strip/CategoryStrip.h"
#include "weblink/WebButton.h"

#include <array>
#include <functional>

// The one window of the system: it owns the Browser state and the subsystems for the whole run,
// runs start-up, and routes every (control, event) of the event table to its handler through one
// dispatch point, which also reports an unhandled error and ends the program.
//
// Owns: the Browser state, the event table, start-up, the window chrome. It does not own the
// platform: window, dialogs, shell, registry and automation are ports handed in by main.
namespace slidevane {

class RuntimeError;

struct Form1Ports {
    RegistryApi& registry;
    WindowPort& window;
    DialogPort& dialog;
    ShellPort& shell;
    AutomationRuntime& automation;
    // Where the platform can tell registry changes: reads repeated within and across events then
    // cost one check an event. Without it every read goes to the registry.
    RegistryWatch* registryWatch = nullptr;
};

class Form1 {
public:
    explicit Form1(Form1Ports ports);

    // The load event. Returns true when the window is to be shown; false when start-up ended the
    // program (no presentation application, or an error that was reported).
    bool Form_Load();

    // The one dispatch point for every event of every control. Events without a handler in the
    // table are ignored; after an unhandled error no further event is handled.
    void Dispatch(Control control, Event event);
    bool HasHandler(Control control, Event event) const;
    bool Ended() const { return ended_; }

    // The window's public operations.
    std::string GetIndexTitle(std::int16_t indexInt) { return catalogue_.GetIndexTitle(indexInt); }
    std::string GetDefaultPath() { return catalogue_.GetDefaultPath(); }
    std::string GetDefaultTemplatePath() { return catalogue_.GetDefaultTemplatePath(); }
    void SetCurrentIndex(std::int16_t indexInt) { strip_.SetCurrentIndex(indexInt); }

    const BrowserState& State() const { return state_; }
    BrowserState& State() { return state_; }
    PreviewPane& Preview() { return preview_; }
    TemplateOpener& Opener() { return opener_; }

private:
    void CompensateDisplayResolution();
    void Picture10_Click();
    void Picture9_Click();
    void BuildEventTable();
    void Report(const RuntimeError& error);

    Form1Ports ports_;
    BrowserState state_;
    Module1 module1_;
    Catalogue catalogue_;
    WebButton web_;
    PreviewPane preview_;
    CategoryStrip strip_;
    PresentationDetector detector_;
    TemplateOpener opener_;
    std::array<std::array<std::function<void()>, 4>, ControlCount> table_;
    bool ended_ = false;
};

} // namespace slidevane
