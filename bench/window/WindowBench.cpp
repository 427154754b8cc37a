// Figures of the window on the offscreen platform, through the real event path: per-operation
// medians of the hover paths, and start-up to the first frame and peak memory beside a bare Qt
// frameless window showing one picture (separate processes, measured in the same run).
// It prints figures and asserts nothing.
#include "HugePicturePack.h"
#include "LargeHive.h"
#include "OperationTimes.h"
#include "UnavailableAutomation.h"
#include "adapters/posix/PosixPictureFiles.h"
#include "adapters/posix/RegistryFileStore.h"
#include "adapters/qt/QtDialog.h"
#include "adapters/qt/QtShell.h"
#include "adapters/qt/QtWindow.h"
#include "catalogue/PictureNames.h"
#include "picture/PictureLoader.h"
#include "shell/Form1.h"

#if SLIDEVANE3_HAVE_FIXTURE
#include "FixturePack.h"
#endif
#if SLIDEVANE3_HAVE_UNO
#include "OfficeConnection.h"
#include "UnoAutomationRuntime.h"
#include "UnoValues.h"
#include "UserProgram.h"

#include <unistd.h>
#endif

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button,
                                      QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);
QT_END_NAMESPACE

namespace {

using namespace slidevane;
using Clock = std::chrono::steady_clock;

using bench::Figures;
using bench::Summarise;
using bench::Time;

// Counts paints of a window and its controls, to show what an operation repainted.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class Mouse {
public:
    explicit Mouse(QWindow* window) : window_(window) {}
    void MoveTo(QPoint at) {
        clock_ += 20;
        qt_handleMouseEvent(window_, QPointF(at), window_->mapToGlobal(QPointF(at)), Qt::NoButton,
                            Qt::NoButton, QEvent::MouseMove, Qt::NoModifier, clock_);
        QCoreApplication::processEvents();
    }

private:
    QWindow* window_;
    int clock_ = 1000;
};

// The program's objects, wired as main wires them.
struct Browser {
    explicit Browser(const std::vector<std::filesystem::path>& registryFiles)
        : registry(registryFiles), dialog(window),
          form({registry, window, dialog, shell, automation}) {
        window.SetEventHandler(
            [this](Control control, Event event) { form.Dispatch(control, event); });
    }
    RegistryFileStore registry;
    UnavailableAutomation automation;
    QtWindow window;
    QtDialog dialog;
    QtShell shell;
    Form1 form;
};

// Moves onto `control` of a browser that has just started, so that its pictures are decoded
// for the first time; the start-up is not timed.
Figures FirstMoves(const std::vector<std::filesystem::path>& registryFiles, Control control) {
    std::vector<double> samples;
    for (int i = 0; i < 200; ++i) {
        Browser browser(registryFiles);
        browser.form.Form_Load();
        browser.window.show();
        QCoreApplication::processEvents();
        Mouse mouse(browser.window.windowHandle());
        mouse.MoveTo(QPoint(410, 280));
        QPoint const at = browser.window.Widget(control).geometry().center();
        auto const start = Clock::now();
        mouse.MoveTo(at);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return Summarise(samples);
}

// The floor under a hover: only reading and decoding the files it loads, nothing else.
Figures ReadAndDecode(const std::vector<std::string>& paths) {
    NativePath const resolver = NativePath::fromEnvironment();
    std::vector<QString> files;
    for (std::string const& path : paths) {
        files.push_back(QString::fromStdString(resolver.resolve(path).path));
    }
    return Time([&](int) {
        for (QString const& file : files) {
            QFile in(file);
            in.open(QIODevice::ReadOnly);
            QImage const image = QImage::fromData(in.readAll(), "GIF");
            if (image.isNull()) {
                std::printf("cannot decode %s\n", qPrintable(file));
            }
        }
    });
}

// A picture's first load (read, resolve and decode with nothing decoded before), and the first
// moves after start-up, which decode what they load.
void FirstLoads(const std::vector<std::filesystem::path>& registryFiles, const QtWindow& window,
                const std::string& ui, const std::string& title) {
    PosixPictureFiles files;
    auto firstLoad = [&](const char* what, const std::string& path, Control control) {
        QSize const shown = window.Widget(control).size();
        Figures const figures = Time(
            [&](int) {
                PictureLoader nothingYet(files);
                nothingYet.Load(path, shown.width(), shown.height());
            },
            500);
        std::printf("%-58s median %7.1f us  p90 %7.1f us\n", what, figures.median, figures.p90);
    };
    firstLoad("first load of a strip picture (decode)", ui + "b_" + title + "-a.gif",
              Control::Button1);
    firstLoad("first load of a main preview picture (decode)", ui + "p_" + title + "-c4.gif",
              Control::MainDisBackGnd);
    for (auto [what, control] :
         {std::pair{"first move over the strip after start-up (decodes)", Control::Button1},
          std::pair{"first move onto thumbnail 2 after start-up (decodes)",
                    Control::Dis2BackGnd}}) {
        Figures const figures = FirstMoves(registryFiles, control);
        std::printf("%-58s median %7.1f us  p90 %7.1f us\n", what, figures.median, figures.p90);
    }
}

// What a run measures beyond the hovers: everything (the sample pack), the floor only (the same
// pack in a large store), or the first loads and Qt's own decode of one file (huge pictures,
// where decoding every file of a hover the way Qt does would take seconds per move).
enum class Run { Full, Floor, HugePictures };

void InProcess(const std::vector<std::filesystem::path>& registryFiles, Run run) {
    Browser browser(registryFiles);
    QtWindow& window = browser.window;
    Form1& form = browser.form;
    if (!form.Form_Load()) {
        std::printf("start-up failed; no figures\n");
        return;
    }
    window.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    window.installEventFilter(&counter);
    for (Control control : AllControls) {
        window.Widget(control).installEventFilter(&counter);
    }
    Mouse mouse(window.windowHandle());
    auto centre = [&](Control control) { return window.Widget(control).geometry().center(); };
    auto report = [&](const char* what, const std::function<void(int)>& operation, double budget) {
        counter.paints = 0;
        Figures const figures = Time(operation);
        std::printf("%-58s median %7.1f us  p90 %7.1f us  budget %5.0f us  paints/op %.2f\n", what,
                    figures.median, figures.p90, budget, counter.paints / 2100.0);
        return figures;
    };

    report(
        "ShowPreviewPage with repaint (selection alternating)",
        [&](int i) {
            form.State().PictureIndex = static_cast<std::int16_t>(4 + i % 2);
            form.Preview().ShowPreviewPage();
            QCoreApplication::processEvents();
        },
        400);
    Figures const strip = report(
        "pointer move over a strip button (alternating 1 and 2)",
        [&](int i) { mouse.MoveTo(centre(i % 2 ? Control::Button2 : Control::Button1)); }, 500);
    Figures const pane = report(
        "pointer move onto another thumbnail (pane repaint)",
        [&](int i) { mouse.MoveTo(centre(i % 2 ? Control::Dis2BackGnd : Control::Dis1BackGnd)); },
        400);
    mouse.MoveTo(centre(Control::Dis2BackGnd));
    report(
        "pointer move within the same thumbnail (no repaint)",
        [&](int i) { mouse.MoveTo(centre(Control::Dis2BackGnd) + QPoint(i % 2 ? 3 : -3, 0)); },
        100);

    std::string const ui = form.State().DefaultPath;
    std::string const title = form.GetIndexTitle(form.State().CurrentIndex);

    // The same files as the two hovers above load, read and decoded with nothing else around.
    std::vector<std::string> stripFiles;
    for (std::int16_t k = 0; k <= 9; ++k) {
        if (k != form.State().CurrentIndex) {
            stripFiles.push_back(
                PictureNames::Strip(ui, form.GetIndexTitle(k), k == 0 ? 'b' : 'a'));
        }
    }
    stripFiles.push_back(PictureNames::WebNormal(ui));
    stripFiles.push_back(PictureNames::Strip(ui, title, 'c'));
    std::vector<std::string> const paneFiles = {
        PictureNames::WebNormal(ui), PictureNames::Preview(ui, title, 'a', 4),
        PictureNames::Preview(ui, title, form.State().Pic2OK ? 'b' : 'a', 5),
        PictureNames::Preview(ui, title, 'a', 6), PictureNames::Preview(ui, title, 'c', 5)};
    if (run == Run::HugePictures) {
        // Qt's GIF reader decodes every pixel of a file; each of a hover's 11 loads cost this.
        NativePath const resolver = NativePath::fromEnvironment();
        QString const file = QString::fromStdString(resolver.resolve(stripFiles.front()).path);
        Figures const whole = Time(
            [&](int) {
                QFile in(file);
                in.open(QIODevice::ReadOnly);
                QImage const image = QImage::fromData(in.readAll(), "GIF");
                if (image.width() != 4096) {
                    std::printf("cannot decode %s\n", qPrintable(file));
                }
            },
            5, 1);
        std::printf("%-58s median %7.1f us\n", "Qt's GIF reader, one whole 4096 x 4096 file",
                    whole.median);
        FirstLoads(registryFiles, window, ui, title);
        return;
    }
    Figures const stripFloor = ReadAndDecode(stripFiles);
    Figures const paneFloor = ReadAndDecode(paneFiles);
    std::printf("%-58s median %7.1f us: strip hover / floor %.2f\n",
                "floor: read and decode the strip hover's 11 files", stripFloor.median,
                strip.median / stripFloor.median);
    std::printf("%-58s median %7.1f us: pane hover / floor %.2f\n",
                "floor: read and decode the pane hover's 5 files", paneFloor.median,
                pane.median / paneFloor.median);
    if (run == Run::Full) {
        FirstLoads(registryFiles, window, ui, title);
    }
}

#if SLIDEVANE3_HAVE_UNO
// The strip and pane hovers on an idle machine, then while an office is started ahead exactly as
// the program starts it once its first frame is up (on a profile of the bench's own, made first),
// through its readying: the share of the machine the start takes from the pointer.
void HoversWhileTheOfficeStarts(const std::vector<std::filesystem::path>& registryFiles,
                                const std::string& profile) {
    test::UserProgram::Result const made = test::UserProgram::Run(
        {"soffice", "-env:UserInstallation=" + profile, "--headless", "--terminate_after_init"},
        test::UserEnvironment::FromSession(), std::chrono::seconds(120));
    if (!made.outcome.Succeeded()) {
        std::printf("no office profile could be made; no figures while the office starts\n");
        return;
    }
    Browser browser(registryFiles);
    QtWindow& window = browser.window;
    if (!browser.form.Form_Load()) {
        return;
    }
    window.show();
    QCoreApplication::processEvents();
    Mouse mouse(window.windowHandle());
    auto centre = [&](Control control) { return window.Widget(control).geometry().center(); };
    // Each hover as often as it fits into `seconds`; its figures.
    auto hovers = [&](double seconds, Control one, Control other) {
        std::vector<double> samples;
        auto const end = Clock::now() + std::chrono::duration<double>(seconds);
        for (int i = 0; Clock::now() < end; ++i) {
            auto const start = Clock::now();
            mouse.MoveTo(centre(i % 2 ? other : one));
            samples.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        return Summarise(samples);
    };
    Figures const idleStrip = hovers(2, Control::Button1, Control::Button2);
    Figures const idlePane = hovers(2, Control::Dis1BackGnd, Control::Dis2BackGnd);
    std::string const pipe = "slidevane3_bench_ahead_" + std::to_string(getpid());
    UnoAutomationRuntime runtime(UnoAutomationRuntime::Settings{
        {"soffice", "-env:UserInstallation=" + profile, "--headless"},
        pipe,
        profile,
        SLIDEVANE3_KEEPER,
        std::chrono::seconds(30),
        std::chrono::seconds(60)});
    runtime.StartAhead();
    // The start and its readying take a few seconds; the two hovers take turns through them.
    std::vector<double> strip, pane;
    for (int round = 0; round < 8; ++round) {
        Figures const s = hovers(0.25, Control::Button1, Control::Button2);
        Figures const p = hovers(0.25, Control::Dis1BackGnd, Control::Dis2BackGnd);
        strip.push_back(s.median);
        pane.push_back(p.median);
    }
    Figures const busyStrip = Summarise(strip);
    Figures const busyPane = Summarise(pane);
    std::printf("%-58s idle %7.1f us, office starting %7.1f us: ratio %.2f (budget 2.00)\n",
                "strip hover while the office starts ahead (medians)", idleStrip.median,
                busyStrip.median, busyStrip.median / idleStrip.median);
    std::printf("%-58s idle %7.1f us, office starting %7.1f us: ratio %.2f (budget 2.00)\n",
                "pane hover while the office starts ahead (medians)", idlePane.median,
                busyPane.median, busyPane.median / idlePane.median);
    // Figures taken while no office started would be the idle ones again: say which it was.
    bool started = false;
    try {
        runtime.GetObject("", "Powerpoint.Application.9"); // waits for the start to settle
        if (auto office = OfficeConnection::TryConnect(pipe, std::chrono::seconds(10),
                                                       std::chrono::seconds(10))) {
            started = true;
            office->Call("terminate", [&] { office->Desktop()->terminate(); });
        }
    } catch (const std::exception&) {
        // The office ends as it is asked, closing the connection on the way.
    }
    std::printf("%-58s %s\n", "the office started ahead during those hovers",
                started ? "yes" : "NO: the figures above are not valid");
}

// Whether a process runs on the given profile: the office writes into it until it has ended.
bool OfficeOn(const std::string& profile) {
    std::error_code error;
    for (auto const& entry : std::filesystem::directory_iterator("/proc", error)) {
        QFile cmdline(QString::fromStdString((entry.path() / "cmdline").string()));
        if (cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(QByteArray::fromStdString(profile))) {
            return true;
        }
    }
    return false;
}

void WhileTheOfficeStarts(const std::vector<std::filesystem::path>& registryFiles) {
    QTemporaryDir home;
    std::string const profile = uno::FromUno(uno::FileUrl(home.filePath("profile").toStdString()));
    HoversWhileTheOfficeStarts(registryFiles, profile);
    // The profile goes with the bench once the office that wrote into it is gone.
    for (int waited = 0; waited < 200 && OfficeOn(profile); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
#endif

struct Launch {
    double milliseconds;
    long peakKiB;
};

Launch LaunchOnce(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& environment) {
    QProcess child;
    child.setProcessEnvironment(environment);
    auto const start = Clock::now().time_since_epoch();
    child.start(program, arguments);
    child.waitForFinished(30000);
    QByteArray const out = child.readAllStandardOutput();
    long long frame = 0;
    long peak = -1;
    if (std::sscanf(out.constData(), "frame_ns=%lld peak_kib=%ld", &frame, &peak) != 2) {
        std::printf("%s did not report a frame: %s\n", qPrintable(program),
                    child.readAllStandardError().constData());
        return {-1, -1};
    }
    auto const startNs = std::chrono::duration_cast<std::chrono::nanoseconds>(start).count();
    return {static_cast<double>(frame - startNs) / 1e6, peak};
}

void StartUp(const QString& registryList) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SLIDEVANE3_REGISTRY"), registryList);
    std::vector<double> programTimes, bareTimes;
    std::vector<double> programPeaks, barePeaks;
    for (int run = 0; run < 21; ++run) {
        // Alternating, so that both see the same state of the machine.
        Launch const program =
            LaunchOnce(QStringLiteral(SLIDEVANE3_PROGRAM_FRAME), {}, environment);
        Launch const bare = LaunchOnce(QStringLiteral(SLIDEVANE3_BARE_FRAME),
                                       {QStringLiteral(SLIDEVANE3_BACKGROUND)}, environment);
        if (program.milliseconds < 0 || bare.milliseconds < 0) {
            return;
        }
        if (run == 0) {
            continue; // the first launch pays for a cold file cache
        }
        programTimes.push_back(program.milliseconds);
        bareTimes.push_back(bare.milliseconds);
        programPeaks.push_back(static_cast<double>(program.peakKiB));
        barePeaks.push_back(static_cast<double>(bare.peakKiB));
    }
    Figures const pt = Summarise(programTimes), bt = Summarise(bareTimes);
    Figures const pm = Summarise(programPeaks), bm = Summarise(barePeaks);
    std::printf("start-up to first frame: program median %.1f ms, bare window %.1f ms, "
                "ratio %.2f (budget 1.30)\n",
                pt.median, bt.median, pt.median / bt.median);
    std::printf("peak resident memory:    program median %.0f KiB, bare window %.0f KiB, "
                "ratio %.2f (budget 1.20)\n",
                pm.median, bm.median, pm.median / bm.median);
}

// Peak resident memory of the program after a look around every control (separate processes,
// the two packs alternating), KiB.
void BrowsePeaks(const QString& sampleList, const QString& hugeList) {
    auto peakOf = [](const QString& registryList) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("SLIDEVANE3_REGISTRY"), registryList);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(SLIDEVANE3_PROGRAM_FRAME), {QStringLiteral("--browse")});
        child.waitForFinished(60000);
        long peak = -1;
        if (std::sscanf(child.readAllStandardOutput().constData(), "peak_kib=%ld", &peak) != 1) {
            std::printf("the program did not report its peak: %s\n",
                        child.readAllStandardError().constData());
        }
        return static_cast<double>(peak);
    };
    std::vector<double> sample, huge;
    for (int run = 0; run < 11; ++run) {
        sample.push_back(peakOf(sampleList));
        huge.push_back(peakOf(hugeList));
    }
    Figures const s = Summarise(sample), h = Summarise(huge);
    std::printf("peak resident memory after moving over every control: sample pack %.0f KiB, "
                "4096 x 4096 pack %.0f KiB, ratio %.2f (goal 1.20)\n",
                s.median, h.median, h.median / s.median);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication application(argc, argv);

    // The presentation application's record comes from a file of its own, so that the figures
    // do not depend on an office being installed.
    QTemporaryDir scratch;
    QString const office = scratch.filePath(QStringLiteral("office.reg"));
    {
        QFile file(office);
        file.open(QIODevice::WriteOnly);
        file.write(
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot]\r\n"
            "\"Path\"=\"C:\\\\Office\\\\\"\r\n");
    }
    QString pack = QStringLiteral(SLIDEVANE3_SAMPLE_REGISTRY);
#if SLIDEVANE3_HAVE_FIXTURE
    std::unique_ptr<test::FixturePack> fixture;
    if (!QFileInfo::exists(pack)) {
        fixture = std::make_unique<test::FixturePack>();
        pack = fixture->RegistryFile();
    }
#endif
    if (!QFileInfo::exists(pack)) {
        std::printf("no pack: build the sample pack (or the GUI tests' fixture support)\n");
        return 0;
    }
    std::printf("pack registry: %s\n", qPrintable(pack));
    std::printf("-- catalogue in the pack's own registry file\n");
    InProcess({pack.toStdString(), office.toStdString()}, Run::Full);
    std::string const hive =
        bench::WriteLargeHive(scratch.path().toStdString(), pack.toStdString());
    if (!hive.empty()) {
        std::printf("-- catalogue in a 50,000-key Wine hive (%.1f MB)\n",
                    static_cast<double>(std::filesystem::file_size(hive)) / 1e6);
        InProcess({hive, office.toStdString()}, Run::Floor);
    }
    auto const writing = Clock::now();
    std::string const huge =
        bench::WriteHugePicturePack(scratch.path().toStdString(), pack.toStdString());
    if (!huge.empty()) {
        std::printf("-- every picture 4096 x 4096 (pack written in %.1f s)\n",
                    std::chrono::duration<double>(Clock::now() - writing).count());
        InProcess({huge, office.toStdString()}, Run::HugePictures);
        BrowsePeaks(pack + QLatin1Char(':') + office,
                    QString::fromStdString(huge) + QLatin1Char(':') + office);
    }
    StartUp(pack + QLatin1Char(':') + office);
#if SLIDEVANE3_HAVE_UNO
    WhileTheOfficeStarts({pack.toStdString(), office.toStdString()});
#endif
    return 0;
}
