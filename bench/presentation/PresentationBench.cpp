// Times the double-click of the launcher against a real office: obtain the application, add a
// presentation, apply the template, show it; beside it, in the same run and alternating with
// it, the office making a new document from the same template by itself. Generated templates
// and two that the presentation application itself wrote. Usage: presentation_bench [repetitions]

#include "OfficeLauncher.h"
#include "TemplateFixtures.h"
#include "TemplateLoader.h"
#include "TestOffice.h"
#include "UnoAutomationRuntime.h"
#include "UnoValues.h"

#include <algorithm>
#include <chrono>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
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

double Elapsed(const std::function<void()>& run) {
    auto const start = Clock::now();
    run();
    return Milliseconds(Clock::now() - start);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
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
    auto const doubleClick = [&runtime](const fs::path& file) {
        auto application = runtime.GetObject("", "Powerpoint.Application.9");
        DoubleClick(*application, file);
    };
    // The office by itself: a new document from the template, shown.
    auto const alone = [&office](const fs::path& file) {
        slidevane::OfficeConnection& connection = office->Connection();
        connection.Call("native", [&] {
            css::uno::Reference<css::frame::XComponentLoader> const loader(
                connection.Desktop(), css::uno::UNO_QUERY_THROW);
            css::uno::Reference<css::frame::XModel> const document(
                loader->loadComponentFromURL(
                    slidevane::uno::ToUno(TestOffice::Url(file)), "_blank", 0,
                    slidevane::uno::Properties(
                        {{"Hidden", css::uno::Any(true)}, {"AsTemplate", css::uno::Any(true)}})),
                css::uno::UNO_QUERY_THROW);
            document->getCurrentController()->getFrame()->getContainerWindow()->setVisible(true);
        });
    };

    // What one call into the office costs by itself: the double-click makes more of them than
    // the office's own opening of a file, which needs one.
    {
        slidevane::OfficeConnection& connection = office->Connection();
        std::vector<double> calls;
        for (int i = 0; i < 500; ++i) {
            calls.push_back(Elapsed([&] {
                connection.Call("one call", [&] { connection.Desktop()->getCurrentFrame(); });
            }));
        }
        std::printf("one call into the office (a desktop property), median of 500: %.3f ms\n",
                    Median(calls));
    }

    fs::path const real(SLIDEVANE3_REAL_TEMPLATES);
    std::vector<std::pair<std::string, fs::path>> const templates{
        {"generated .otp", fixtures.odfTemplate},
        {"generated .pot", fixtures.powerPoint97},
        {"generated .potx", fixtures.powerPoint2007},
        {"real .pot (slide-masters.pot)", real / "slide-masters.pot"},
        {"real .potx (screenshot-deck.potx)", real / "screenshot-deck.potx"}};
    std::printf("office already running (headless, pipe %s), medians of %d alternating runs:\n",
                office->PipeName().c_str(), repetitions);
    std::printf("  %-36s %14s %14s %7s\n", "template", "double-click", "office alone", "ratio");
    for (const auto& [name, file] : templates) {
        if (!fs::exists(file)) {
            std::printf("  %-36s (not there: %s)\n", name.c_str(), file.c_str());
            continue;
        }
        std::vector<double> ours;
        std::vector<double> theirs;
        // One warm-up of each, then the two alternate so that both see the same machine.
        for (int i = 0; i <= repetitions; ++i) {
            double const a = Elapsed([&] { doubleClick(file); });
            tidy();
            double const b = Elapsed([&] { alone(file); });
            tidy();
            if (i > 0) {
                ours.push_back(a);
                theirs.push_back(b);
            }
        }
        double const mine = Median(ours);
        double const office = Median(theirs);
        std::printf("  %-36s %11.1f ms %11.1f ms %7.2f\n", name.c_str(), mine, office,
                    mine / office);
    }

    // Where the difference goes: the double-click's two office-side halves (reading the
    // template into a presentation with one title slide; giving it a window and showing it)
    // beside the same halves of the office alone (reading it into a hidden window; showing
    // that), and beside them a bare read of the template into a presentation with no window,
    // no check and no change of its slides. Reading minus the bare read is what the
    // double-click does beyond the office: the checks, the type detection and the replacing
    // of the slides; the bare read against the office's hidden read is the window.
    std::printf("where the time goes, medians of %d alternating runs (ms):\n", repetitions);
    std::printf("  %-36s %9s %9s %9s %9s %9s\n", "template", "read", "bare read", "show",
                "alone rd", "alone sh");
    for (const auto& [name, file] : templates) {
        if (!fs::exists(file)) {
            continue;
        }
        slidevane::OfficeConnection& connection = office->Connection();
        slidevane::TemplateLoader loader(connection);
        std::vector<double> read;
        std::vector<double> bare;
        std::vector<double> show;
        std::vector<double> aloneRead;
        std::vector<double> aloneShow;
        for (int i = 0; i <= repetitions; ++i) {
            css::uno::Reference<css::uno::XInterface> presentation;
            double const r = Elapsed([&] {
                connection.Call("read", [&] { presentation = loader.Load(file.string()); });
            });
            double const s = Elapsed([&] {
                connection.Call("show", [&] { loader.Show(presentation, "slidevane3_bench"); });
            });
            tidy();
            double const b = Elapsed([&] {
                connection.Call("bare read", [&] {
                    css::uno::Reference<css::frame::XLoadable> const model(
                        connection.Create("com.sun.star.presentation.PresentationDocument"),
                        css::uno::UNO_QUERY_THROW);
                    // The office's own detection names the filter, as it does when it
                    // opens a file itself.
                    css::uno::Sequence<css::beans::PropertyValue> descriptor =
                        slidevane::uno::Properties(
                            {{"URL", css::uno::Any(slidevane::uno::ToUno(TestOffice::Url(file)))}});
                    connection.Link()
                        ->Service<css::document::XTypeDetection>(
                            "com.sun.star.document.TypeDetection")
                        ->queryTypeByDescriptor(descriptor, true);
                    model->load(
                        slidevane::uno::Merged({{"AsTemplate", css::uno::Any(true)}}, descriptor));
                    slidevane::TemplateLoader::Close(model);
                });
            });
            css::uno::Reference<css::frame::XModel> document;
            double const ar = Elapsed([&] {
                connection.Call("alone read", [&] {
                    document.set(
                        css::uno::Reference<css::frame::XComponentLoader>(connection.Desktop(),
                                                                          css::uno::UNO_QUERY_THROW)
                            ->loadComponentFromURL(
                                slidevane::uno::ToUno(TestOffice::Url(file)), "_blank", 0,
                                slidevane::uno::Properties({{"Hidden", css::uno::Any(true)},
                                                            {"AsTemplate", css::uno::Any(true)}})),
                        css::uno::UNO_QUERY_THROW);
                });
            });
            double const as = Elapsed([&] {
                connection.Call("alone show", [&] {
                    document->getCurrentController()->getFrame()->getContainerWindow()->setVisible(
                        true);
                });
            });
            tidy();
            if (i > 0) {
                read.push_back(r);
                show.push_back(s);
                bare.push_back(b);
                aloneRead.push_back(ar);
                aloneShow.push_back(as);
            }
        }
        std::printf("  %-36s %9.1f %9.1f %9.1f %9.1f %9.1f\n", name.c_str(), Median(read),
                    Median(bare), Median(show), Median(aloneRead), Median(aloneShow));
    }
    office.reset();

    // Cold: nothing listens. The double-click's CreateObject runs the launcher and waits for the
    // office; beside it the office's own command line opens the same template as a new
    // document. The first run sets up a fresh profile, the others find it ready; the two
    // alternate.
    fs::path const profile = work / "cold-profile";
    int run = 0;
    auto const nextPipe = [&run] {
        return "slidevane3_bench_" + std::to_string(getpid()) + "_" + std::to_string(run++);
    };
    auto const coldDoubleClick = [&](const fs::path& file) {
        fs::path const pidFile = work / ("cold-" + std::to_string(run) + ".pid");
        settings.pipeName = nextPipe();
        settings.launcher = TestOffice::LauncherCommand(profile, pidFile);
        double elapsed = 0;
        {
            slidevane::UnoAutomationRuntime coldRuntime(settings);
            elapsed = Elapsed([&] {
                auto application = coldRuntime.CreateObject("Powerpoint.Application.9");
                DoubleClick(*application, file);
            });
            TestOffice::StopOffice(settings.pipeName, TestOffice::ReadPid(pidFile), false);
        }
        return elapsed;
    };
    auto const coldAlone = [&](const fs::path& file) {
        fs::path const pidFile = work / ("cold-" + std::to_string(run) + ".pid");
        std::string const pipe = nextPipe();
        std::vector<std::string> command = TestOffice::LauncherCommand(profile, pidFile);
        command.push_back("-n");
        command.push_back(file.string());
        double const elapsed = Elapsed([&] {
            slidevane::OfficeLauncher const launcher(command, pipe);
            std::shared_ptr<slidevane::OfficeConnection> connection;
            while (!(connection = slidevane::OfficeConnection::TryConnect(pipe, 30s, 30s))) {
                std::this_thread::sleep_for(5ms);
            }
            bool opened = false;
            while (!opened) {
                connection->Call("getComponents", [&] {
                    opened = connection->Desktop()
                                 ->getComponents()
                                 ->createEnumeration()
                                 ->hasMoreElements();
                });
                if (!opened) {
                    std::this_thread::sleep_for(5ms);
                }
            }
        });
        TestOffice::StopOffice(pipe, TestOffice::ReadPid(pidFile), false);
        return elapsed;
    };
    std::printf("office not running (launcher on a private profile, headless), medians of %d:\n",
                std::min(repetitions, 5));
    std::printf("  %-36s %8.1f ms\n", "double-click, fresh profile, .otp",
                coldDoubleClick(fixtures.odfTemplate));
    std::printf("  %-36s %14s %14s %7s\n", "template, profile ready", "double-click", "soffice -n",
                "ratio");
    for (const auto& [name, file] :
         {std::pair<std::string, fs::path>{"generated .otp", fixtures.odfTemplate},
          {"generated .pot", fixtures.powerPoint97}}) {
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int i = 0; i < std::min(repetitions, 5); ++i) {
            ours.push_back(coldDoubleClick(file));
            theirs.push_back(coldAlone(file));
        }
        std::printf("  %-36s %11.1f ms %11.1f ms %7.2f\n", name.c_str(), Median(ours),
                    Median(theirs), Median(ours) / Median(theirs));
    }

    fs::remove_all(work);
    return 0;
}
