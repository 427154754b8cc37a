// A long random session on the real window (offscreen, through the window system's entry point)
// on the sample pack: the event rate, and whether resident memory stays flat between the first
// thousand events and the end. It prints figures and asserts nothing.
//
//   soak_bench [events]   (100000 when not given)
#include "CountingAutomation.h"
#include "FixturePack.h"
#include "ModalBoxWatcher.h"
#include "RandomSession.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace slidevane;
using Clock = std::chrono::steady_clock;

// Resident memory of this process now, KiB.
long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    long const total = argc > 1 ? std::atol(argv[1]) : 100000;
    unsigned const seed = 20240611;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication application(argc, argv);

    // The presentation application's record comes from a file of its own: no office is needed,
    // the counting automation stands behind the port.
    QTemporaryDir scratch;
    QString const office = scratch.filePath(QStringLiteral("office.reg"));
    {
        QFile file(office);
        if (!file.open(QIODevice::WriteOnly)) {
            std::printf("cannot write %s\n", qPrintable(office));
            return 1;
        }
        file.write(
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot]\r\n"
            "\"Path\"=\"C:\\\\Office\\\\\"\r\n");
    }
    QString pack = QStringLiteral(SLIDEVANE3_SAMPLE_REGISTRY);
    std::unique_ptr<test::FixturePack> fixture;
    if (!QFileInfo::exists(pack)) {
        fixture = std::make_unique<test::FixturePack>();
        pack = fixture->RegistryFile();
    }

    RegistryFileStore registry({pack.toStdString(), office.toStdString()});
    bench::CountingAutomation automation;
    QtWindow window;
    QtDialog dialog(window);
    QtShell shell;
    Form1 form({registry, window, dialog, shell, automation});
    // What reached the dispatch point, by event: shows the session really drove the handlers.
    std::array<long, 4> handled{};
    window.SetEventHandler([&form, &handled](Control control, Event event) {
        handled[static_cast<std::size_t>(event)] += form.HasHandler(control, event) ? 1 : 0;
        form.Dispatch(control, event);
    });
    if (!form.Form_Load()) {
        std::printf("start-up failed; no figures\n");
        return 1;
    }
    window.show();
    QCoreApplication::processEvents();
    test::ModalBoxWatcher boxes; // answers a purchase message, as a user would

    std::printf("pack registry: %s\nseed %u, %ld pointer events\n", qPrintable(pack), seed, total);
    bench::RandomSession session(window, form, seed);
    long sent = 0;
    long nextReport = 1000;
    long residentAtFirst = -1;
    Clock::time_point const start = Clock::now();
    Clock::time_point afterFirst = start;
    while (sent < total && !form.Ended()) {
        sent += session.Act();
        if (sent >= nextReport) {
            long const resident = ResidentKiB();
            if (residentAtFirst < 0) {
                residentAtFirst = resident;
                afterFirst = Clock::now();
            }
            std::printf("  after %6ld events: VmRSS %6ld KiB\n", sent, resident);
            nextReport = nextReport < 10000 ? 10000 : nextReport + 10000;
        }
    }
    Clock::time_point const end = Clock::now();
    long const residentAtEnd = ResidentKiB();

    std::printf("events sent: %ld in %.2f s: %.0f events/s overall, %.0f events/s after the "
                "first 1,000\n",
                sent, Seconds(end - start), sent / Seconds(end - start),
                (sent - 1000) / Seconds(end - afterFirst));
    std::printf("VmRSS after 1,000 events: %ld KiB; at the end: %ld KiB; growth %+ld KiB\n",
                residentAtFirst, residentAtEnd, residentAtEnd - residentAtFirst);
    std::printf("handled by the core: %ld MouseMove, %ld MouseUp, %ld Click, %ld DblClick\n",
                handled[0], handled[1], handled[2], handled[3]);
    std::printf("double-clicks on a thumbnail with a template: %ld; templates applied: %ld; "
                "message boxes answered: %zu\n",
                session.DoubleClicks(), automation.applied, boxes.Seen().size());
    if (form.Ended()) {
        std::printf("the program ended itself after an error: %s\n",
                    boxes.Seen().empty() ? "" : qPrintable(boxes.Seen().back().text));
    }
    return 0;
}
