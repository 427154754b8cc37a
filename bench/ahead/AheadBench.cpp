// The first double-click of a run, in-process, against a real office on a private display and a
// profile of its own: with the office started ahead and 3 s of browsing before it, beside the
// second double-click of the same run (warm) and the first double-click of a run that starts no
// office ahead. Also the hover figures' companion: how much CPU the start ahead takes from the
// window while it runs is measured by bench/window (window_bench --while-office-starts).
// Usage: ahead_bench [runs]
#include "OfficePipes.h"
#include "UnoAutomationRuntime.h"
#include "UnoValues.h"
#include "UserProgram.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using slidevane::test::UserEnvironment;
using slidevane::test::UserProgram;

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? -1 : samples[samples.size() / 2];
}

std::string CataloguePath(const fs::path& file) {
    std::string path = file.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + std::string(1, '\0');
}

// GetObject (then CreateObject, as the double-click's retry does), Add, ApplyTemplate, Visible.
double DoubleClick(slidevane::UnoAutomationRuntime& runtime, const fs::path& file) {
    auto const start = Clock::now();
    std::unique_ptr<slidevane::AutomationApplication> application;
    try {
        application = runtime.GetObject("", "Powerpoint.Application.9");
    } catch (const std::exception&) {
        application = runtime.CreateObject("Powerpoint.Application.9");
    }
    application->Presentations()->Add(slidevane::msoTrue)->ApplyTemplate(CataloguePath(file));
    application->SetVisible(slidevane::msoTrue);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Ends the office of `pipe` that the run started, through the office.
void EndOffice(const std::string& pipe, const std::string& profileUrl) {
    try {
        if (auto office = slidevane::OfficeConnection::TryConnect(pipe, 10s, 10s)) {
            office->Call("terminate", [&] { office->Desktop()->terminate(); });
        }
    } catch (const std::exception&) {
    }
    auto const end = Clock::now() + 10s;
    // Until the office has let go of the profile: a launcher would hand the next run's pipe to
    // an office on its way out.
    while ((slidevane::OfficePipes::Listening(slidevane::OfficePipes::Named(pipe)) ||
            slidevane::OfficePipes::Listening(slidevane::OfficePipes::OfProfile(profileUrl))) &&
           Clock::now() < end) {
        std::this_thread::sleep_for(50ms);
    }
    // And until its processes are gone, the profile's lock with them.
    auto const running = [&] {
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
            std::ifstream in(entry.path() / "cmdline", std::ios::binary);
            std::string const command{std::istreambuf_iterator<char>(in), {}};
            if (command.find(profileUrl) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    while (running() && Clock::now() < end) {
        std::this_thread::sleep_for(50ms);
    }
}

} // namespace

int main(int argc, char** argv) {
    int const runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    char const* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/slidevane3-ahead-XXXXXX";
    fs::path const work = mkdtemp(pattern.data());
    std::string const profileUrl =
        slidevane::uno::FromUno(slidevane::uno::FileUrl((work / "profile").string()));

    // A private display for the office's windows.
    UserProgram display(
        {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        UserEnvironment::FromSession());
    std::string number;
    for (int i = 0; i < 200 && number.find('\n') == std::string::npos; ++i) {
        std::this_thread::sleep_for(50ms);
        number = display.Output();
    }
    if (number.find('\n') == std::string::npos) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    setenv("DISPLAY", (":" + number.substr(0, number.find('\n'))).c_str(), 1);
    // The profile, made by a first start as a user's first run makes it.
    UserProgram::Result const made = UserProgram::Run(
        {"soffice", "-env:UserInstallation=" + profileUrl, "--headless", "--terminate_after_init"},
        UserEnvironment::FromSession(), 120s);
    if (!made.outcome.Succeeded()) {
        std::fprintf(stderr, "the office did not make a profile: %s\n", made.errors.c_str());
        return 1;
    }

    fs::path const sample(SLIDEVANE3_SAMPLE_PACK);
    std::vector<std::pair<std::string, fs::path>> const templates{
        {".otp", sample / "TEMPLATE/announcement1.otp"},
        {".pot", sample / "TEMPLATE/financialreview1.pot"},
        {"real .potx", fs::path(SLIDEVANE3_REAL_TEMPLATES) / "screenshot-deck.potx"}};
    std::printf("first double-click of a run after 3 s of browsing, medians of %d runs each, "
                "display %s, load %s\n",
                runs, std::getenv("DISPLAY"), "see uptime");
    std::printf("  %-11s %16s %16s %8s %18s\n", "template", "first, ahead", "second (warm)",
                "ratio", "first, not ahead");
    int counter = 0;
    std::vector<double> starts; // the user-interface thread's share of a start ahead
    for (const auto& [name, file] : templates) {
        std::vector<double> first;
        std::vector<double> second;
        std::vector<double> cold;
        for (int run = 0; run < runs; ++run) {
            for (bool const ahead : {true, false}) {
                slidevane::UnoAutomationRuntime::Settings settings{
                    {"soffice", "-env:UserInstallation=" + profileUrl},
                    "slidevane3_ahead_" + std::to_string(getpid()) + "_" +
                        std::to_string(counter++),
                    profileUrl,
                    ahead ? fs::path(SLIDEVANE3_KEEPER) : fs::path(),
                    30s,
                    60s};
                try {
                    slidevane::UnoAutomationRuntime runtime(settings);
                    if (ahead) {
                        auto const begun = Clock::now();
                        runtime.StartAhead();
                        starts.push_back(
                            std::chrono::duration<double, std::milli>(Clock::now() - begun)
                                .count());
                    }
                    std::this_thread::sleep_for(3s); // browsing
                    double const opened = DoubleClick(runtime, file);
                    (ahead ? first : cold).push_back(opened);
                    if (ahead) {
                        second.push_back(DoubleClick(runtime, file));
                    }
                } catch (const std::exception& error) {
                    std::printf("  (a run of %s failed: %s)\n", name.c_str(), error.what());
                }
                EndOffice(settings.pipeName, profileUrl);
            }
        }
        std::printf("  %-11s %13.1f ms %13.1f ms %8.2f %15.1f ms\n", name.c_str(), Median(first),
                    Median(second), Median(first) / Median(second), Median(cold));
    }
    std::printf("budget: first with the office ahead at most 1.2x the warm one\n");
    std::printf("the start ahead on the user-interface thread (checks, launcher, keeper): median "
                "%.2f ms, most %.2f ms\n",
                Median(starts), *std::max_element(starts.begin(), starts.end()));
    display.Signal(SIGTERM);
    fs::remove_all(work);
    return 0;
}
