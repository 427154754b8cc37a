#pragma once

#include "catalogue/Module1.h"
#include "platform/DialogPort.h"
#include "platform/WindowPort.h"
#include "state/BrowserState.h"

#include <string>

// Finds out at start-up which supported version of the presentation application is installed
// and records its major version in HasPptVer.
//
// Owns: the install-record lookup and the refusal to run without an application. It does not
// own where the record comes from: on Linux the registry adapter answers it for an installed
// office.
namespace slidevane {

class PresentationDetector {
public:
    PresentationDetector(BrowserState& state, Module1& module1, DialogPort& dialog,
                         WindowPort& window);

    // True when the install record of `version` ("9.0" or "8.0") can be read. Never throws.
    bool IsPowerPointInstalled(const std::string& version);
    static bool HasInstallRecord(Module1& module1, const std::string& version);

    // Sets HasPptVer to "9" or "8" and returns true; with neither installed shows the message,
    // sets "0", unloads the window and returns false.
    bool Detect();

private:
    BrowserState& state_;
    Module1& module1_;
    DialogPort& dialog_;
    WindowPort& window_;
};

} // namespace slidevane
