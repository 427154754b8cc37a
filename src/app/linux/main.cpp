// The Linux program: builds the window, the ports and Form1, wires every control to Form1's one
// dispatch point, runs start-up and then the event loop. It reads no command line of its own.
#include "adapters/posix/ImpressInstallRecord.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <QApplication>

#if SLIDEVANE3_HAVE_UNO
#include "adapters/uno/UnoAutomationRuntime.h"
using PresentationAutomation = slidevane::UnoAutomationRuntime;
#else
#include "UnavailableAutomation.h"
using PresentationAutomation = slidevane::UnavailableAutomation;
#endif

int main(int argc, char** argv) {
    using namespace slidevane;

    // Scale only by whole factors so that the pictures stay sharp; the rest of a display's
    // density reaches the window as twips per pixel, which start-up compensates.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication application(argc, argv);

    RegistryFileStore files(RegistryFileStore::defaultSearchList(SLIDEVANE3_INSTALL_PREFIX));
    ImpressInstallRecord registry(files);
    PresentationAutomation automation;
    QtWindow window;
    QtDialog dialog(window);
    QtShell shell;
    Form1 form({registry, window, dialog, shell, automation});
    window.SetEventHandler(
        [&form](Control control, Event event) { form.Dispatch(control, event); });

    if (!form.Form_Load()) {
        return dialog.QuitStatus().value_or(0);
    }
    window.show();
    int const status = QApplication::exec();
    return dialog.QuitStatus().value_or(status);
}
