// Times slidevane3-pack making a pack of 30 templates (ten categories of three) beside the
// office alone rendering the same 30 templates to pictures in one run of its own command line,
// alternating, in the same run of this program. Both start from a fresh office profile, as the
// pack command always does; the office is also timed on a profile it has used before.
// Templates: the sample pack's, the two the presentation application wrote, and the tests' own
// in every format. Usage: pack_bench [repetitions]

#include "TemplateFixtures.h"
#include "TestOffice.h"
#include "UserProgram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Seconds the command took, run as a desktop session runs a program (the bench's own
// environment carries what a session does not, TMPDIR aside); exits when it fails, as no figure
// would mean anything then.
double Timed(const std::vector<std::string>& command) {
    slidevane::test::UserEnvironment environment = slidevane::test::UserEnvironment::FromSession();
    environment.Set("TMPDIR", std::getenv("TMPDIR"));
    auto const start = Clock::now();
    slidevane::test::UserProgram::Result const run =
        slidevane::test::UserProgram::Run(command, environment, std::chrono::minutes(30));
    double const seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!run.outcome.Succeeded()) {
        std::fprintf(stderr, "failed (%s): %s\n%s", run.outcome.Describe().c_str(),
                     command.front().c_str(), run.errors.c_str());
        std::exit(1);
    }
    return seconds;
}

std::vector<std::string> OfficeRendering(const fs::path& profile, const fs::path& out,
                                         const std::vector<fs::path>& templates) {
    std::vector<std::string> command{std::string(SLIDEVANE3_OFFICE_PROGRAM) + "/soffice",
                                     "-env:UserInstallation=file://" + profile.string(),
                                     "--headless",
                                     "--norestore",
                                     "--nologo",
                                     "--convert-to",
                                     "png",
                                     "--outdir",
                                     out.string()};
    for (const fs::path& file : templates) {
        command.push_back(file.string());
    }
    return command;
}

std::size_t Count(const fs::path& folder, const char* extension) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        count += entry.path().extension() == extension ? 1 : 0;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    int const repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char const* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/slidevane3-bench-XXXXXX";
    fs::path const work = mkdtemp(pattern.data());
    fs::create_directories(work / "tmp");
    setenv("TMPDIR", (work / "tmp").c_str(), 1);

    std::vector<fs::path> pool;
    {
        auto office = slidevane::testing::TestOffice::Start(work / "fixtures-office");
        auto const made =
            slidevane::testing::TemplateFixtures::Make(office->Connection(), work / "fixtures");
        pool = {made.odfTemplate,
                made.powerPoint97,
                made.powerPoint2007,
                made.odfPresentation,
                made.powerPoint97Presentation,
                made.powerPoint2007Presentation};
    }
    for (const char* name : {"slide-masters.pot", "screenshot-deck.potx"}) {
        pool.push_back(fs::path(SLIDEVANE3_REAL_TEMPLATES) / name);
    }
    std::vector<fs::path> sample;
    for (const auto& entry :
         fs::directory_iterator(fs::path(SLIDEVANE3_SAMPLE_PACK) / "TEMPLATE")) {
        sample.push_back(entry.path());
    }
    std::sort(sample.begin(), sample.end());
    pool.insert(pool.end(), sample.begin(), sample.end());
    if (pool.size() < 30) {
        std::fprintf(stderr, "only %zu templates\n", pool.size());
        return 1;
    }

    // Ten categories of three; the same 30 files, under unique names, for the office alone.
    std::vector<fs::path> templates;
    for (int i = 0; i < 30; ++i) {
        fs::path const folder = work / "source" / ("Category " + std::to_string(i / 3));
        fs::create_directories(folder);
        fs::path const copy = folder / (std::to_string(i % 3 + 1) + " t" + std::to_string(i) +
                                        pool[static_cast<std::size_t>(i)].extension().string());
        fs::copy_file(pool[static_cast<std::size_t>(i)], copy);
        templates.push_back(copy);
    }
    fs::create_directories(work / "packs");
    // A profile the office has used before, for the third figure.
    Timed(OfficeRendering(work / "warm-profile", work / "warm-up", {templates.front()}));

    std::vector<double> pack;
    std::vector<double> fresh;
    std::vector<double> warm;
    std::vector<double> ratios; // pack over office (fresh), run by run: the machine's load moves
    for (int r = 0; r < repetitions; ++r) {
        std::string const n = std::to_string(r);
        pack.push_back(
            Timed({SLIDEVANE3_PACK, "--registry", (work / ("pack" + n + ".reg")).string(),
                   (work / "source").string(), (work / "packs" / ("pack" + n)).string()}));
        fresh.push_back(
            Timed(OfficeRendering(work / ("profile" + n), work / ("fresh" + n), templates)));
        warm.push_back(
            Timed(OfficeRendering(work / "warm-profile", work / ("warm" + n), templates)));
        if (Count(work / ("fresh" + n), ".png") != 30 || Count(work / ("warm" + n), ".png") != 30 ||
            Count(work / "packs" / ("pack" + n) / "UI", ".gif") < 30 * 3) {
            std::fprintf(stderr, "a run did not make all its pictures\n");
            return 1;
        }
        ratios.push_back(pack.back() / fresh.back());
        std::printf("run %d: pack %.2f s, office (fresh profile) %.2f s, office (used profile) "
                    "%.2f s, ratio %.2f\n",
                    r + 1, pack.back(), fresh.back(), warm.back(), ratios.back());
    }
    double const p = Median(pack);
    double const f = Median(fresh);
    double const w = Median(warm);
    std::printf("\n30 templates, median of %d alternating runs\n", repetitions);
    std::printf("slidevane3-pack (fresh private profile):          %6.2f s\n", p);
    std::printf("office --convert-to png (fresh profile):          %6.2f s   ratio %.2f\n", f,
                p / f);
    std::printf("office --convert-to png (profile used before):    %6.2f s   ratio %.2f\n", w,
                p / w);
    std::printf("median of the runs' own ratios (pack / office, fresh profile): %.2f\n",
                Median(ratios));
    std::printf("budget 1.2 x office (fresh) + 2 s:                %6.2f s   %s\n", 1.2 * f + 2,
                p <= 1.2 * f + 2 ? "met" : "NOT met");
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
