#pragma once

#include "FaultPack.h"
#include "RecordingAutomation.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <QPoint>
#include <map>
#include <string>

// The program as main wires it, on a fault pack read through the real registry-file store, with
// an automation runtime that records instead of starting an office.
//
// Owns: the wired objects for one case and the view of what each control shows. It does not
// drive the pointer (Pointer) nor answer the report box (ModalBoxWatcher).
namespace slidevane::test {

class FaultBrowser {
public:
    // What each control shows: the UI file's name for a file of the pack's UI folder, the full
    // native path for any other file; controls still showing their stored picture are left out.
    using Shown = std::map<std::string, std::string>;

    explicit FaultBrowser(const FaultPack& pack);

    // Start-up; shows the window when it says so, as main does.
    bool Start();
    QPoint Centre(Control control) const;
    Shown Showing() const;

    const FaultPack& pack;
    RegistryFileStore registry;
    QtWindow window;
    QtDialog dialog;
    QtShell shell;
    RecordingAutomation automation;
    Form1 form;
};

} // namespace slidevane::test
