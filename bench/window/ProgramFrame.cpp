// The program's start-up as main performs it, with a reporter of the first frame attached. With
// --browse it instead moves the pointer over every control once the window is shown, as a user
// looking around would, and reports the peak resident memory after that.
#include "FirstFrameReporter.h"
#include "UnavailableAutomation.h"
#include "adapters/posix/ImpressInstallRecord.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QWindow>
#include <cstdio>
#include <cstring>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button,
                                      QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);
QT_END_NAMESPACE

namespace {

// Every control in turn, the strip's twice so that its hover pictures are all loaded too.
void Browse(slidevane::QtWindow& window) {
    using slidevane::Control;
    QWindow* const handle = window.windowHandle();
    int clock = 1000;
    auto moveTo = [&](QPoint at) {
        clock += 20;
        qt_handleMouseEvent(handle, QPointF(at), handle->mapToGlobal(QPointF(at)), Qt::NoButton,
                            Qt::NoButton, QEvent::MouseMove, Qt::NoModifier, clock);
        QCoreApplication::processEvents();
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (Control control : slidevane::AllControls) {
            if (control != Control::Picture9 && control != Control::Picture10) {
                moveTo(window.Widget(control).geometry().center());
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace slidevane;
    bool const browse = argc > 1 && std::strcmp(argv[1], "--browse") == 0;
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
    if (browse) {
        window.show();
        QCoreApplication::processEvents();
        Browse(window);
        std::printf("peak_kib=%ld\n", FirstFrameReporter::PeakResidentKiB());
        return 0;
    }
    FirstFrameReporter reporter(window);
    window.show();
    return QApplication::exec();
}
