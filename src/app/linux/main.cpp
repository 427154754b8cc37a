// The Linux program: builds the window, the ports and Form1, wires every control to Form1's one
// dispatch point, runs start-up and then the event loop. Once the window's first frame is on the
// screen, the office may be started ahead (--no-office-ahead, or SLIDEVANE3_OFFICE_AHEAD=0,
// keeps it for the first double-click).
#include "ProgramOptions.h"
#include "adapters/posix/ImpressInstallRecord.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/BusyPointer.h"
#include "adapters/qt/FirstFrame.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

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
    ProgramOptions const options =
        ProgramOptions::Parse(argc - 1, argv + 1, std::getenv("SLIDEVANE3_OFFICE_AHEAD"));
    if (options.help || options.error) {
        if (options.error) {
            std::fprintf(stderr, "slidevane3: %s\n", options.error->c_str());
        }
        std::fputs(ProgramOptions::Usage(), options.error ? stderr : stdout);
        return options.error ? 2 : 0;
    }

    RegistryFileStore files(RegistryFileStore::defaultSearchList(SLIDEVANE3_INSTALL_PREFIX));
    ImpressInstallRecord registry(files);
    PresentationAutomation automation(QCoreApplication::applicationFilePath().toStdString());
    QtWindow window;
    QtDialog dialog(window);
    QtShell shell;
    Form1 form({registry, window, dialog, shell, automation});
    window.SetEventHandler(BusyPointer::ForDoubleClicks(
        [&form](Control control, Event event) { form.Dispatch(control, event); }));

    if (!form.Form_Load()) {
        return dialog.QuitStatus().value_or(0);
    }
    FirstFrame const ahead(window, [&] {
        if (options.officeAhead) {
            automation.StartAhead();
        }
    });
    window.show();
    int const status = QApplication::exec();
    return dialog.QuitStatus().value_or(status);
}
