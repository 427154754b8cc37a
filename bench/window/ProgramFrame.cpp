// The program's start-up as main performs it, with a reporter of the first frame attached.
#include "FirstFrameReporter.h"
#include "UnavailableAutomation.h"
#include "adapters/posix/ImpressInstallRecord.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <QApplication>

int main(int argc, char** argv) {
    using namespace slidevane;
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication application(argc, argv);

    RegistryFileStore files(RegistryFileStore::defaultSearchList());
    ImpressInstallRecord registry(files);
    UnavailableAutomation automation;
    QtWindow window;
    QtDialog dialog(window);
    QtShell shell;
    Form1 form({registry, window, dialog, shell, automation});
    window.SetEventHandler(
        [&form](Control control, Event event) { form.Dispatch(control, event); });
    if (!form.Form_Load()) {
        return 3;
    }
    FirstFrameReporter reporter(window);
    window.show();
    return QApplication::exec();
}
