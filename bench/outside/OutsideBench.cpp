// Times a double-click as the user sees it: on a private X display, the program started as a
// desktop session starts it, a real double-click sent through the X server, and the clock
// stopped when the new Impress window is mapped. Beside it, timed the same way, the office's
// own command line `soffice -n TEMPLATE` (a new document from the template), alternating run by
// run.
//
//   outside_bench [warm] [--runs N] [--env NAME=VALUE]...
//       The office runs (the program's first double-click started it); each template is
//       double-clicked and handed to `soffice -n` in turn, after one discarded pair.
//   outside_bench first [--runs N] [--browse SECONDS] [--env NAME=VALUE]...
//       Each run starts the program with no office running, points around the window for
//       SECONDS (default 5), then double-clicks a template twice; beside it, `soffice -n` with
//       no office running, and `soffice -n` into the office the run left.
//
// The clock starts when the X server has taken the second press of the pair (the press is the
// event the program acts on), and for `soffice -n` when the launcher is started. --env adds a
// variable to the program's environment (SLIDEVANE3_OFFICE_AHEAD=0, say); --only PATTERN keeps
// the templates whose name contains PATTERN; --program PATH times another build of the program;
// --snapshots DIR keeps a picture of each settled window of the first counted pair.

#include "BenchPack.h"
#include "DisplayWatch.h"
#include "PaintWatch.h"
#include "SyntheticPointer.h"
#include "TemplateFixtures.h"
#include "TemplateLoader.h"
#include "TestOffice.h"
#include "UserProgram.h"
#include "UserSession.h"
#include "platform/LayoutTable.h"

#include <algorithm>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using slidevane::Control;
using slidevane::LayoutTable;
using slidevane::bench::BenchPack;
using slidevane::bench::DisplayWatch;
using slidevane::bench::PaintWatch;
using slidevane::bench::SyntheticPointer;
using slidevane::test::UserEnvironment;
using slidevane::test::UserProgram;
using slidevane::test::UserSession;
using slidevane::testing::TemplateFixtures;
using slidevane::testing::TestOffice;
using Clock = std::chrono::steady_clock;

constexpr char ImpressTitle[] = "LibreOffice Impress";
constexpr char ProgramTitle[] = "Slidevane";

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// With OUTSIDE_BENCH_TRACE set, the moments the clock starts go to standard error beside the
// display's events.
void Mark(const char* what, Clock::time_point when) {
    if (std::getenv("OUTSIDE_BENCH_TRACE") != nullptr) {
        std::fprintf(stderr, "mark %.1f %s\n",
                     std::chrono::duration<double, std::milli>(when.time_since_epoch()).count(),
                     what);
    }
}

double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

std::string Range(std::vector<double> samples) {
    if (samples.empty()) {
        return "-";
    }
    std::sort(samples.begin(), samples.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.0f-%.0f", samples.front(), samples.back());
    return text;
}

struct Options {
    std::string mode = "warm";
    int runs = 11;
    int browseSeconds = 5;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string only;
    std::string program = SLIDEVANE3_PROGRAM;
    std::string snapshots; // a folder for the settled windows' pictures
};

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string const argument = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw std::runtime_error(argument + " needs a value");
            }
            return argv[++i];
        };
        if (argument == "warm" || argument == "first") {
            options.mode = argument;
        } else if (argument == "--runs") {
            options.runs = std::max(1, std::stoi(value()));
        } else if (argument == "--browse") {
            options.browseSeconds = std::max(0, std::stoi(value()));
        } else if (argument == "--snapshots") {
            options.snapshots = value();
        } else if (argument == "--program") {
            options.program = value();
        } else if (argument == "--only") {
            options.only = value();
        } else if (argument == "--env") {
            std::string const pair = value();
            std::size_t const equals = pair.find('=');
            if (equals == std::string::npos) {
                throw std::runtime_error("--env takes NAME=VALUE");
            }
            options.environment.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        } else {
            throw std::runtime_error("unknown argument " + argument);
        }
    }
    return options;
}

struct Times {
    double shown = 0;  // a mapped window has the Impress title
    double mapped = 0; // that window was mapped
    double drawn = 0;  // its picture stopped changing
    unsigned long window = 0;
};

struct Template {
    std::string name;
    std::size_t index = 0; // in the pack
};

// One user's desktop for the whole benchmark: the display, the home folder with its office
// profile, the program when it runs, and the office of the session.
class Desk {
public:
    Desk(const Options& options, const BenchPack& pack)
        : options_(options), pack_(pack), watch_(session_.Display().Name().toStdString()),
          pointer_(session_.Display().Name().toStdString()),
          paint_(session_.Display().Name().toStdString()) {}

    ~Desk() {
        EndProgram();
        EndOffice();
    }

    // The profile is made once, as the user's first start of the office made it.
    void MakeProfile() {
        UserProgram::Result const made = UserProgram::Run(
            {"soffice", "--headless", "--nologo", "--norestore", "--terminate_after_init"},
            session_.Environment(), 180s);
        fs::path const settings =
            session_.Home() / ".config/libreoffice/4/user/registrymodifications.xcu";
        if (!made.outcome.Succeeded() || !fs::exists(settings)) {
            throw std::runtime_error("the office did not make its profile: " +
                                     made.outcome.Describe() + " " + made.errors);
        }
        EndOffice();
        // A user of the office has long seen its tip of the day, which a profile's first window
        // shows in a dialog of its own, in front of the document and holding the office.
        std::ifstream in(settings);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t const end = text.rfind("</oor:items>");
        if (end == std::string::npos) {
            throw std::runtime_error("unexpected office settings in " + settings.string());
        }
        text.insert(end, R"(<item oor:path="/org.openoffice.Office.Common/Misc">)"
                         R"(<prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value>)"
                         R"(</prop></item>)"
                         "\n");
        std::ofstream(settings) << text;
    }

    void StartProgram() {
        UserEnvironment environment =
            session_.Environment().Set("SLIDEVANE3_REGISTRY", pack_.RegistryFile().string());
        for (const auto& [name, value] : options_.environment) {
            environment.Set(name, value);
        }
        Clock::time_point const start = Clock::now();
        program_ =
            std::make_unique<UserProgram>(std::vector<std::string>{options_.program}, environment);
        if (!watch_.WaitForMap(ProgramTitle, start, 30s) ||
            !pointer_.FindWindow(ProgramTitle, window_, originX_, originY_)) {
            throw std::runtime_error("the program showed no window: " + program_->Errors());
        }
    }

    void EndProgram() {
        if (program_) {
            program_->Signal(SIGTERM);
            program_->Finish(10s);
            program_.reset();
        }
    }

    // Points around the window like a user looking at the categories and thumbnails.
    void Browse(std::chrono::seconds duration) {
        Clock::time_point const until = Clock::now() + duration;
        std::vector<Control> const route{
            Control::Button3,     Control::Button4,     Control::Button5, Control::Dis1BackGnd,
            Control::Dis2BackGnd, Control::Dis3BackGnd, Control::Button2, Control::MainDisBackGnd};
        for (std::size_t i = 0; Clock::now() < until; ++i) {
            MoveTo(route[i % route.size()]);
            std::this_thread::sleep_for(250ms);
        }
    }

    // A double-click on the template's thumbnail, after a click on its category; the moment
    // the second press was taken.
    Clock::time_point DoubleClick(std::size_t templateIndex) {
        BenchPack::Place const place = pack_.PlaceOf(templateIndex);
        pointer_.Raise(window_);
        MoveTo(slidevane::StripButton(place.category));
        std::this_thread::sleep_for(100ms);
        pointer_.Press();
        pointer_.Release();
        std::this_thread::sleep_for(200ms);
        MoveTo(slidevane::Thumbnail(place.thumbnail));
        std::this_thread::sleep_for(300ms);
        pointer_.Press();
        pointer_.Release();
        std::this_thread::sleep_for(80ms);
        Clock::time_point const pressed = pointer_.Press();
        pointer_.Release();
        Mark("second press", pressed);
        Aside();
        return pressed;
    }

    // `soffice -n TEMPLATE` in the session; the moment the launcher was started.
    Clock::time_point OfficeNew(std::size_t templateIndex) {
        Aside();
        Clock::time_point const start = Clock::now();
        launchers_.push_back(std::make_unique<UserProgram>(
            std::vector<std::string>{"soffice", "-n", pack_.Template(templateIndex).string()},
            session_.Environment()));
        Mark("soffice -n", start);
        return start;
    }

    // Milliseconds from `start` to a new Impress window: when it was shown under the office's
    // Impress title, when that window was mapped (the office maps the frame of a document it
    // opens from its command line before the document is in it, and names it afterwards), and
    // when its picture last changed before settling. nullopt when no window came.
    std::optional<Times> UntilImpressWindow(Clock::time_point start) {
        std::optional<DisplayWatch::Map> const shown = watch_.WaitForMap(ImpressTitle, start, 90s);
        std::optional<Times> times;
        if (shown) {
            Clock::time_point const mapped =
                watch_.MappedAt(shown->window, shown->when).value_or(shown->when);
            Clock::time_point const drawn =
                paint_.LastChange(shown->window, shown->when, 1000ms, 10s);
            times = Times{Milliseconds(shown->when - start), Milliseconds(mapped - start),
                          Milliseconds(drawn - start), shown->window};
        }
        // A launcher that handed the document to a running office ends at once; one that
        // started the office lives as long as the office, and is reaped once it is ended.
        std::erase_if(launchers_, [](const std::unique_ptr<UserProgram>& launcher) {
            return launcher->Wait(2s).has_value();
        });
        return times;
    }

    // Closes every document of the session's office (the office holds only what the benchmark
    // opened) and waits until their windows are gone.
    void CloseDocuments() {
        std::this_thread::sleep_for(300ms); // let the new window finish painting
        auto office = Office();
        if (!office) {
            return;
        }
        office->Call("close", [&] {
            css::uno::Reference<css::container::XEnumeration> const all =
                office->Desktop()->getComponents()->createEnumeration();
            std::vector<css::uno::Reference<css::uno::XInterface>> documents;
            while (all->hasMoreElements()) {
                css::uno::Reference<css::uno::XInterface> document;
                all->nextElement() >>= document;
                documents.push_back(document);
            }
            for (const auto& document : documents) {
                slidevane::TemplateLoader::Close(document);
            }
        });
        Clock::time_point const until = Clock::now() + 10s;
        while (!watch_.Mapped(ImpressTitle).empty() && Clock::now() < until) {
            std::this_thread::sleep_for(20ms);
        }
        std::this_thread::sleep_for(300ms);
    }

    // Ends the session's office, through the office when it can be reached, else by pid. An
    // office started without the program's pipe is handed that pipe first, as the program's
    // own launcher would hand it.
    void EndOffice() {
        link_.reset();
        if (session_.OfficeProcesses().empty()) {
            launchers_.clear();
            return;
        }
        if (!session_.Office()) {
            UserProgram::Run(
                {"soffice", "--accept=pipe,name=" + session_.OfficePipe() + ";urp;", "--nologo"},
                session_.Environment(), 30s);
            Clock::time_point const until = Clock::now() + 10s;
            while (!session_.Office() && Clock::now() < until) {
                std::this_thread::sleep_for(100ms);
            }
        }
        session_.EndOffice();
        for (const std::unique_ptr<UserProgram>& launcher : launchers_) {
            launcher->Finish(10s);
        }
        launchers_.clear();
    }

    // The window's picture as it is now, as PNG into `file` (ImageMagick's import).
    void Snapshot(unsigned long window, const fs::path& file) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", window);
        UserProgram::Run({"import", "-window", id, file.string()}, session_.Environment(), 30s);
    }

    bool OfficeRuns() { return !session_.OfficeProcesses().empty(); }
    bool ProgramRuns() { return program_ && program_->Running(); }
    std::string ProgramErrors() { return program_ ? program_->Errors() : std::string(); }

private:
    // The pointer goes to the screen's corner, off every window, so that the tooltip of
    // whatever lies under it in the new window is no part of that window's picture.
    void Aside() { pointer_.MoveTo(1020, 764); }

    void MoveTo(Control control) {
        slidevane::ControlLayout const& at = LayoutTable::Of(control);
        float const perPixel = LayoutTable::DesignedTwipsPerPixel;
        pointer_.MoveTo(originX_ + static_cast<int>((at.left + at.width / 2) / perPixel),
                        originY_ + static_cast<int>((at.top + at.height / 2) / perPixel));
    }

    std::shared_ptr<slidevane::OfficeConnection> Office() {
        if (!link_ || link_->Lost()) {
            link_ = session_.Office();
        }
        return link_;
    }

    const Options& options_;
    const BenchPack& pack_;
    UserSession session_;
    DisplayWatch watch_;
    SyntheticPointer pointer_;
    PaintWatch paint_;
    std::unique_ptr<UserProgram> program_;
    std::vector<std::unique_ptr<UserProgram>> launchers_;
    std::shared_ptr<slidevane::OfficeConnection> link_;
    unsigned long window_ = 0;
    int originX_ = 0;
    int originY_ = 0;
};

// One figure of the double-click beside the same figure of `soffice -n`.
void Row(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs) {
    std::printf("    %-30s %9.1f ms %9.1f ms %6.2f   (%s / %s)\n", what, Median(ours),
                Median(theirs), Median(ours) / Median(theirs), Range(ours).c_str(),
                Range(theirs).c_str());
}

void Warm(Desk& desk, const Options& options, const std::vector<Template>& templates) {
    desk.StartProgram();
    // The program's first double-click starts the user's office, as it does for a user.
    std::optional<Times> const first = desk.UntilImpressWindow(desk.DoubleClick(0));
    if (!first) {
        throw std::runtime_error("the first double-click opened no window: " +
                                 desk.ProgramErrors());
    }
    std::printf("first double-click of the run (the office started by it or ahead): %.0f ms\n",
                first->shown);
    desk.CloseDocuments();

    std::printf("office running; medians of %d alternating runs after one discarded pair, from "
                "the second press / the launcher's start:\n",
                options.runs);
    std::printf("    %-30s %12s %12s %6s\n", "", "double-click", "soffice -n", "ratio");
    for (const Template& one : templates) {
        std::vector<Times> ours;
        std::vector<Times> theirs;
        for (int i = 0; i <= options.runs; ++i) {
            // The first counted run's windows are photographed once settled, when asked.
            auto const snapshot = [&](const std::optional<Times>& times, const char* who) {
                if (times && i == 1 && !options.snapshots.empty()) {
                    fs::create_directories(options.snapshots);
                    desk.Snapshot(times->window,
                                  fs::path(options.snapshots) / (one.name + " - " + who + ".png"));
                }
            };
            std::optional<Times> const a = desk.UntilImpressWindow(desk.DoubleClick(one.index));
            snapshot(a, "double-click");
            desk.CloseDocuments();
            std::optional<Times> const b = desk.UntilImpressWindow(desk.OfficeNew(one.index));
            snapshot(b, "soffice -n");
            desk.CloseDocuments();
            if (!a || !b) {
                throw std::runtime_error("no Impress window for " + one.name +
                                         "; the program said " + desk.ProgramErrors());
            }
            if (i > 0) {
                ours.push_back(*a);
                theirs.push_back(*b);
            }
        }
        auto const figure = [](const std::vector<Times>& runs, double Times::*field) {
            std::vector<double> values;
            for (const Times& times : runs) {
                values.push_back(times.*field);
            }
            return values;
        };
        std::printf("  %s\n", one.name.c_str());
        Row("Impress window shown", figure(ours, &Times::shown), figure(theirs, &Times::shown));
        Row("  its frame mapped", figure(ours, &Times::mapped), figure(theirs, &Times::mapped));
        Row("  its picture settled", figure(ours, &Times::drawn), figure(theirs, &Times::drawn));
        std::fflush(stdout);
    }
    desk.EndProgram();
}

void First(Desk& desk, const Options& options, const std::vector<Template>& templates) {
    std::printf("first and second double-click of a run after %d s of pointing around, "
                "against soffice -n with no office running and into the run's office; "
                "%d alternating runs; until the Impress window is shown / its picture settled:\n",
                options.browseSeconds, options.runs);
    for (const Template& one : templates) {
        // first double-click, soffice -n cold, second double-click, soffice -n warm
        std::vector<double> shown[4];
        std::vector<double> drawn[4];
        for (int i = 0; i < options.runs; ++i) {
            desk.EndOffice();
            desk.StartProgram();
            desk.Browse(std::chrono::seconds(options.browseSeconds));
            std::optional<Times> runs[4];
            runs[0] = desk.UntilImpressWindow(desk.DoubleClick(one.index));
            desk.CloseDocuments();
            runs[2] = desk.UntilImpressWindow(desk.DoubleClick(one.index));
            desk.CloseDocuments();
            runs[3] = desk.UntilImpressWindow(desk.OfficeNew(one.index));
            desk.CloseDocuments();
            desk.EndProgram();
            desk.EndOffice();
            runs[1] = desk.UntilImpressWindow(desk.OfficeNew(one.index));
            desk.CloseDocuments();
            desk.EndOffice();
            for (int k = 0; k < 4; ++k) {
                if (!runs[k]) {
                    throw std::runtime_error("no Impress window for " + one.name + " (" +
                                             std::to_string(k) + ")");
                }
                shown[k].push_back(runs[k]->shown);
                drawn[k].push_back(runs[k]->drawn);
            }
        }
        std::printf("  %s\n", one.name.c_str());
        char const* names[4] = {"first double-click of the run", "soffice -n, no office running",
                                "second double-click of the run",
                                "soffice -n into the run's office"};
        for (int k = 0; k < 4; ++k) {
            std::printf("    %-34s %8.1f ms / %8.1f ms   (%s / %s)\n", names[k], Median(shown[k]),
                        Median(drawn[k]), Range(shown[k]).c_str(), Range(drawn[k]).c_str());
        }
        std::printf("    ratios (shown / settled): first %.2f / %.2f, second %.2f / %.2f\n",
                    Median(shown[0]) / Median(shown[1]), Median(drawn[0]) / Median(drawn[1]),
                    Median(shown[2]) / Median(shown[3]), Median(drawn[2]) / Median(drawn[3]));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        Options const options = Parse(argc, argv);
        char const* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr ? tmp : "/tmp") + "/slidevane3-outside-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a work folder");
        }
        fs::path const work = pattern;
        struct Removed {
            fs::path folder;
            ~Removed() { fs::remove_all(folder); }
        } const removed{work};

        // The generated templates are made by an office of the benchmark's own, ended at once.
        std::vector<fs::path> files;
        {
            auto office = TestOffice::Start(work / "maker");
            TemplateFixtures const made =
                TemplateFixtures::Make(office->Connection(), work / "made");
            files = {made.odfTemplate, made.powerPoint97, made.powerPoint2007};
        }
        fs::path const real(SLIDEVANE3_REAL_TEMPLATES);
        std::vector<std::string> names{"generated .otp", "generated .pot", "generated .potx"};
        for (const char* file : {"slide-masters.pot", "screenshot-deck.potx"}) {
            if (fs::exists(real / file)) {
                files.push_back(real / file);
                names.push_back(std::string("real ") + file);
            }
        }
        BenchPack const pack(SLIDEVANE3_SAMPLE_PACK, work / "pack", files);
        std::vector<Template> templates;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i].find(options.only) != std::string::npos) {
                templates.push_back({names[i], i});
            }
        }

        Desk desk(options, pack);
        desk.MakeProfile();
        std::printf("display, home and office profile of the benchmark's own; program %s\n",
                    options.program.c_str());
        if (options.mode == "first") {
            First(desk, options, templates);
        } else {
            Warm(desk, options, templates);
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "outside_bench: %s\n", error.what());
        return 1;
    }
}
