#pragma once

#include "EventLog.h"
#include "FixturePack.h"
#include "RecordingAutomation.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <filesystem>
#include <vector>

// The program as main wires it, on a fixture pack (or any pack's registry file) read through the
// real registry-file store, with an automation runtime that records instead of starting an
// office. Every event the window delivers is logged on its way to Form1's dispatch point.
namespace slidevane::test {

class BrowserUnderTest {
public:
    explicit BrowserUnderTest(const FixturePack& pack);
    // On whatever the registry files record, read in this order; Showing() needs a fixture pack.
    explicit BrowserUnderTest(std::vector<std::filesystem::path> registryFiles);

    // Start-up; shows the window when it says so, as main does.
    bool Start();

    // What a control shows, by the fixture colour of the UI file: its name, or "" for none.
    QString Showing(Control control) const;

    const FixturePack* pack;
    RegistryFileStore registry;
    QtWindow window;
    QtDialog dialog;
    QtShell shell;
    RecordingAutomation automation;
    Form1 form;
    EventLog log;
};

} // namespace slidevane::test
