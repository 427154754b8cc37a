// Times the double-click of the launcher against a real office: obtain the application, add a
// presentation, apply the template, show it; beside it the office making a presentation from
// the same template by itself. Usage: presentation_bench [repetitions]

#include "OfficeLauncher.h"
#include "TemplateFixtures.h"
#include "TestOffice.h"
#include "UnoAutomationRuntime.h"
#include "UnoValues.h"

#include <algorithm>
#include <chrono>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using slidevane::testing::TemplateFixtures;
using slidevane::testing::TestOffice;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void Report(const char* name, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-58s median %8.1f ms  min %8.1f  max %8.1f  (n=%zu)\n", name,
                samples[samples.size() / 2], samples.front(), samples.back(), samples.size());
}

// One warm-up run, then `repetitions` timed runs; `tidy` runs untimed after each.
std::vector<double> Time(int repetitions, const std::function<void()>& run,
                         const std::function<void()>& tidy) {
    std::vector<double> samples;
    for (int i = 0; i <= repetitions; ++i) {
        auto const start = Clock::now();
        run();
        auto const elapsed = Clock::now() - start;
        tidy();
        if (i > 0) {
            samples.push_back(Milliseconds(elapsed));
        }
    }
    return samples;
}

// The path as the catalogue hands it over: backslashes and a stored NUL at the end.
std::string CataloguePath(const fs::path& file) {
    std::string path = file.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + std::string(1, '\0');
}

void DoubleClick(slidevane::AutomationApplication& application, const fs::path& file) {
    auto presentation = application.Presentations()->Add(slidevane::msoTrue);
    presentation->ApplyTemplate(CataloguePath(file));
    application.SetVisible(slidevane::msoTrue);
}

} // namespace

int main(int argc, char** argv) {
    int const repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    char const* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/slidevane3-bench-XXXXXX";
    fs::path const work = mkdtemp(pattern.data());
    fs::create_directories(work / "client-tmp");
    setenv("TMPDIR", (work / "client-tmp").c_str(), 1);

    auto office = TestOffice::Start(work / "warm");
    TemplateFixtures const fixtures =
        TemplateFixtures::Make(office->Connection(), work / "templates");
    auto const tidy = [&] { office->CloseDocuments(); };

    slidevane::UnoAutomationRuntime::Settings settings =
        slidevane::UnoAutomationRuntime::DefaultSettings();
    settings.pipeName = office->PipeName();
    slidevane::UnoAutomationRuntime runtime(settings);
    std::printf("office already running (headless, pipe %s):\n", office->PipeName().c_str());
    auto const warm = [&](const fs::path& file) {
        return [&runtime, file] {
            auto application = runtime.GetObject("", "Powerpoint.Application.9");
            DoubleClick(*application, file);
        };
    };
    Report("  double-click, ODF template (.otp)",
           Time(repetitions, warm(fixtures.odfTemplate), tidy));
    Report("  double-click, PowerPoint 97-2003 template (.pot)",
           Time(repetitions, warm(fixtures.powerPoint97), tidy));
    Report("  double-click, PowerPoint 2007 template (.potx)",
           Time(repetitions, warm(fixtures.powerPoint2007), tidy));

    auto const native = [&](const fs::path& file) {
        return [&office, file] {
            slidevane::OfficeConnection& connection = office->Connection();
            connection.Call("native", [&] {
                css::uno::Reference<css::frame::XComponentLoader> const loader(
                    connection.Desktop(), css::uno::UNO_QUERY_THROW);
                css::uno::Reference<css::frame::XModel> const document(
                    loader->loadComponentFromURL(
                        slidevane::uno::ToUno(TestOffice::Url(file)), "_blank", 0,
                        slidevane::uno::Properties({{"Hidden", css::uno::Any(true)},
                                                    {"AsTemplate", css::uno::Any(true)}})),
                    css::uno::UNO_QUERY_THROW);
                document->getCurrentController()->getFrame()->getContainerWindow()->setVisible(
                    true);
            });
        };
    };
    Report("  office alone: new from template (AsTemplate), .otp",
           Time(repetitions, native(fixtures.odfTemplate), tidy));
    Report("  office alone: new from template (AsTemplate), .pot",
           Time(repetitions, native(fixtures.powerPoint97), tidy));
    office.reset();

    // Cold: nothing listens; CreateObject runs the launcher and waits for the office. The first
    // run sets up a fresh profile, the others find it ready.
    std::printf("office not running (CreateObject, headless launcher, .otp):\n");
    fs::path const profile = work / "cold-profile";
    int run = 0;
    std::vector<double> cold;
    for (int i = 0; i <= std::min(repetitions, 3); ++i) {
        fs::path const pidFile = work / ("cold-" + std::to_string(run) + ".pid");
        settings.pipeName =
            "slidevane3_bench_" + std::to_string(getpid()) + "_" + std::to_string(run++);
        settings.launcher = TestOffice::LauncherCommand(profile, pidFile);
        slidevane::UnoAutomationRuntime coldRuntime(settings);
        auto const start = Clock::now();
        {
            auto application = coldRuntime.CreateObject("Powerpoint.Application.9");
            DoubleClick(*application, fixtures.odfTemplate);
        }
        double const elapsed = Milliseconds(Clock::now() - start);
        if (i == 0) {
            std::printf("  %-56s %8.1f ms\n", "double-click, fresh profile", elapsed);
        } else {
            cold.push_back(elapsed);
        }
        TestOffice::StopOffice(settings.pipeName, TestOffice::ReadPid(pidFile), false);
    }
    Report("  double-click, profile ready", cold);

    std::vector<double> coldNative;
    for (int i = 0; i < std::min(repetitions, 3); ++i) {
        fs::path const pidFile = work / ("cold-" + std::to_string(run) + ".pid");
        std::string const pipe =
            "slidevane3_bench_" + std::to_string(getpid()) + "_" + std::to_string(run++);
        std::vector<std::string> command = TestOffice::LauncherCommand(profile, pidFile);
        command.push_back("-n");
        command.push_back(fixtures.odfTemplate.string());
        auto const start = Clock::now();
        slidevane::OfficeLauncher const launcher(command, pipe);
        std::shared_ptr<slidevane::OfficeConnection> connection;
        while (!(connection = slidevane::OfficeConnection::TryConnect(pipe, 30s, 30s))) {
            std::this_thread::sleep_for(20ms);
        }
        bool opened = false;
        while (!opened) {
            connection->Call("getComponents", [&] {
                opened =
                    connection->Desktop()->getComponents()->createEnumeration()->hasMoreElements();
            });
            if (!opened) {
                std::this_thread::sleep_for(20ms);
            }
        }
        coldNative.push_back(Milliseconds(Clock::now() - start));
        connection.reset();
        TestOffice::StopOffice(pipe, TestOffice::ReadPid(pidFile), false);
    }
    Report("  office alone: soffice -n template.otp, profile ready", coldNative);

    fs::remove_all(work);
    return 0;
}
