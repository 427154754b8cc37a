#include "PackMaker.h"

#include "BuildFolder.h"
#include "PackPictures.h"
#include "PackRegistryFile.h"
#include "PrivateOffice.h"
#include "ScratchFolder.h"
#include "SlideRenderer.h"
#include "SourceReader.h"
#include "TemplateRefused.h"
#include "adapters/posix/NativePath.h"
#include "adapters/posix/TextCodec.h"
#include "platform/RuntimeError.h"

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace slidevane {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* Program = "slidevane3-pack: ";
// A fresh profile makes the office start twice; a loaded machine makes either start slow.
constexpr auto OfficeStartDeadline = 180s;
// One template: reading it, making the presentation, rendering the slide.
constexpr auto TemplateDeadline = 120s;

struct Interrupted {};

// `path` made absolute and normal, without a trailing separator.
fs::path Normal(const fs::path& path) {
    fs::path normal = fs::absolute(path).lexically_normal();
    if (!normal.has_filename() && normal.has_parent_path() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

// Whether `inner` is `outer` or lies inside it, by whole components.
bool Within(const fs::path& inner, const fs::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (i == inner.end() || *i != *o) {
            return false;
        }
    }
    return true;
}

// What keeps the pack's folder from being recorded as the catalogue's install folder.
std::string RecordProblem(const std::string& path) {
    if (!TextCodec::isValidUtf8(path)) {
        return "it is not UTF-8 text";
    }
    for (std::size_t at = 0; at < path.size();) {
        char32_t const c = TextCodec::decodeUtf8(path, at);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            return "it holds a control character";
        }
    }
    if (path.find('\\') != std::string::npos) {
        // The program turns every backslash of the catalogue's paths into a separator.
        return "it holds a backslash";
    }
    return "";
}

std::string PipeName() {
    std::random_device random;
    std::ostringstream name;
    name << "slidevane3_pack_" << getpid() << "_" << std::hex << random();
    return name.str();
}

// What the office said, without the program's report of which automation call failed.
std::string Reason(const RuntimeError& error) {
    std::string const& text = error.Description();
    std::string const prefix = "Automation error in ";
    if (text.rfind(prefix, 0) == 0) {
        if (std::size_t const colon = text.find(": ", prefix.size()); colon != std::string::npos) {
            return text.substr(colon + 2);
        }
    }
    return text;
}

bool UsableFolder(const char* variable) {
    char const* value = std::getenv(variable);
    return value != nullptr && *value != '\0' && fs::is_directory(value);
}

// Points what would otherwise make folders in the user's home or the shared temporary folder
// into `scratch`: this process's and the office's runtime folder and configuration home where
// the user's session has none (the office's runtime library and the drawing library make them
// when missing), and the office's caches and settings store always. The user's own fonts and
// font settings stay visible to the office, so slides render as the user's office shows them.
std::vector<std::pair<std::string, std::string>> ContainWrites(const fs::path& scratch) {
    std::vector<std::pair<std::string, std::string>> office = {
        {"XDG_CACHE_HOME", (scratch / "cache").string()}, {"GSETTINGS_BACKEND", "memory"}};
    fs::create_directory(scratch / "cache");
    auto own = [&](const char* variable, const char* folder) {
        fs::path const path = scratch / folder;
        fs::create_directory(path);
        fs::permissions(path, fs::perms::owner_all);
        setenv(variable, path.c_str(), 1);
        office.emplace_back(variable, path.string());
    };
    if (!UsableFolder("XDG_RUNTIME_DIR")) {
        own("XDG_RUNTIME_DIR", "runtime");
    }
    if (!UsableFolder("XDG_CONFIG_HOME") &&
        !fs::is_directory(fs::path(NativePath::homeFolder()) / ".config")) {
        own("XDG_CONFIG_HOME", "config");
    }
    return office;
}

std::string Seconds(std::chrono::steady_clock::duration duration) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << std::chrono::duration<double>(duration).count()
         << " s";
    return text.str();
}

} // namespace

PackMaker::PackMaker(PackCommandLine line, InterruptWatch& interrupts, std::ostream& out,
                     std::ostream& err)
    : line_(std::move(line)), interrupts_(interrupts), out_(out), err_(err) {}

void PackMaker::Problem(const std::string& text) {
    err_ << Program << text << std::endl;
}

void PackMaker::ThrowIfInterrupted() const {
    if (interrupts_.Interrupted() != 0) {
        throw Interrupted{};
    }
}

PackMaker::Paths PackMaker::Resolve(std::vector<std::string>& problems) const {
    Paths paths;
    paths.source = Normal(line_.source);
    fs::path const destination = Normal(line_.destination);
    std::string const name = destination.filename().string();
    if (name.empty() || name == "." || name == "..") {
        problems.push_back(line_.destination.string() + ": not a name for the pack's folder");
        return paths;
    }
    std::error_code error;
    fs::path const parent = fs::canonical(destination.parent_path(), error);
    if (error || !fs::is_directory(parent)) {
        problems.push_back(destination.parent_path().string() +
                           ": no such folder (the folder that is to hold DEST must exist)");
        return paths;
    }
    paths.destination = parent / name;
    if (std::string const fault = RecordProblem(paths.destination.string()); !fault.empty()) {
        problems.push_back(paths.destination.string() +
                           ": cannot be recorded as the pack's folder: " + fault);
    }
    if (line_.registry) {
        paths.registry = Normal(*line_.registry);
    } else {
        paths.registry = PackRegistryFile::DefaultLocation(paths.destination);
        paths.defaultRegistry = true;
    }
    return paths;
}

void PackMaker::CheckDestination(Paths& paths, std::vector<std::string>& problems) const {
    std::error_code error;
    fs::path const source = fs::weakly_canonical(paths.source, error);
    if (!error && (Within(paths.destination, source) || Within(source, paths.destination))) {
        problems.push_back(paths.destination.string() +
                           ": DEST and SOURCE must lie apart, neither inside the other");
        return;
    }
    paths.found = PackDestination::Examine(paths.destination);
    std::string const name = paths.destination.string();
    switch (paths.found.kind) {
    case PackDestination::Kind::Missing:
        return;
    case PackDestination::Kind::Unreadable:
        problems.push_back(name + ": cannot be read: " + paths.found.detail);
        return;
    default:
        break;
    }
    if (!line_.force) {
        problems.push_back(name + ": exists; add --force to replace it");
        return;
    }
    // Only what this command makes is replaced: a pack, or an empty folder.
    switch (paths.found.kind) {
    case PackDestination::Kind::SymbolicLink:
        problems.push_back(name + ": is a symbolic link; not replaced");
        break;
    case PackDestination::Kind::NotAFolder:
        problems.push_back(name + ": is not a folder; not replaced");
        break;
    case PackDestination::Kind::NotAPack:
        problems.push_back(name + ": is not a pack (it holds " + paths.found.detail +
                           "); not replaced");
        break;
    default:
        break;
    }
}

void PackMaker::CheckRegistry(const Paths& paths, std::vector<std::string>& problems) const {
    std::error_code error;
    fs::path const folder = paths.registry.parent_path();
    if (!paths.defaultRegistry && !fs::is_directory(folder, error)) {
        problems.push_back(folder.string() + ": no such folder for the registry file");
        return;
    }
    fs::file_status const status = fs::status(paths.registry, error);
    if (!fs::exists(status)) {
        return;
    }
    if (!fs::is_regular_file(status)) {
        problems.push_back(paths.registry.string() + ": is not a file; not replaced");
        return;
    }
    if (line_.force) {
        return;
    }
    std::optional<std::string> const recorded = PackRegistryFile::RecordedFolder(paths.registry);
    if (!recorded) {
        problems.push_back(paths.registry.string() +
                           ": records no pack; add --force to replace it, or name another file "
                           "with --registry");
    } else if (*recorded != paths.destination.string()) {
        problems.push_back(paths.registry.string() + ": records the pack at " + *recorded +
                           "; add --force to replace it, or name another file with --registry");
    }
}

int PackMaker::Run() {
    auto const start = std::chrono::steady_clock::now();
    try {
        std::vector<std::string> problems;
        Paths paths = Resolve(problems);
        if (problems.empty()) {
            CheckDestination(paths, problems);
            CheckRegistry(paths, problems);
        }
        SourceReader::Result const source = SourceReader::Read(paths.source);
        for (const std::string& note : source.notes) {
            err_ << Program << "note: " << note << std::endl;
        }
        problems.insert(problems.end(), source.problems.begin(), source.problems.end());
        for (const std::string& problem : problems) {
            Problem(problem);
        }
        if (!problems.empty()) {
            Problem("nothing was written");
            return NothingWritten;
        }
        ThrowIfInterrupted();

        RemoveAbandoned(paths);
        BuildFolder build(paths.destination);
        if (!Build(source.plan, build.Pack())) {
            Problem("nothing was written");
            return NothingWritten;
        }
        ThrowIfInterrupted();
        // From here on the pack goes in place whatever arrives: it is complete, and the
        // registry file follows in a moment.
        build.Commit(paths.found, [&] {
            if (paths.defaultRegistry) {
                fs::create_directories(paths.registry.parent_path());
            }
            PackRegistryFile::Write(
                paths.registry, PackRegistryFile::Text(paths.destination.string(), source.plan));
        });
        out_ << "Made the pack " << paths.destination.string() << ": "
             << source.plan.categories.size() << " categories, " << source.plan.TemplateCount()
             << " templates (" << Seconds(std::chrono::steady_clock::now() - start) << ").\n"
             << "Recorded it in " << paths.registry.string()
             << (paths.defaultRegistry ? "; Slidevane3 shows it at its next start." : ".")
             << std::endl;
        return Written;
    } catch (const Interrupted&) {
        Problem("interrupted; nothing was written");
    } catch (const std::exception& error) {
        if (interrupts_.Interrupted() != 0) {
            Problem("interrupted; nothing was written");
        } else {
            Problem(std::string(error.what()) + "; nothing was written");
        }
    }
    return NothingWritten;
}

void PackMaker::RemoveAbandoned(const Paths& paths) {
    std::vector<fs::path> removed = BuildFolder::RemoveAbandoned(paths.destination);
    for (const fs::path& folder : ScratchFolder::RemoveAbandoned()) {
        removed.push_back(folder);
    }
    for (const fs::path& folder : removed) {
        err_ << Program << "note: removed " << folder.string()
             << ", left by an earlier run that was killed" << std::endl;
    }
}

bool PackMaker::Build(const PackPlan& plan, const fs::path& pack) {
    fs::path const ui = pack / "UI";
    fs::path const templates = pack / "TEMPLATE";
    fs::create_directory(ui);
    fs::create_directory(templates);

    ScratchFolder scratch;
    fs::create_directory(scratch.Path() / "renders");
    std::vector<std::pair<std::string, std::string>> const environment =
        ContainWrites(scratch.Path());
    // The artwork's titles are drawn with the drawing library's fonts; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "slidevane3-pack";
    static char* argv[] = {name, nullptr};
    QGuiApplication const drawing(argc, argv);

    PrivateOffice office({scratch.Path() / "office", PipeName(), environment, true});
    interrupts_.OnInterrupt([&office] { office.Kill(); });
    // On the way out the watch lets go of the office; an interrupted run does not wait for the
    // office to end by itself, also when the signal came before the office was handed over.
    struct Forget {
        InterruptWatch& watch;
        PrivateOffice& office;
        ~Forget() {
            watch.OnInterrupt({});
            if (watch.Interrupted() != 0) {
                office.Kill();
            }
        }
    } const forget{interrupts_, office};

    // The office takes seconds to start; the pictures that need no office are drawn meanwhile.
    PackPictures const pictures(ui);
    pictures.WriteFixed(plan);
    ThrowIfInterrupted();

    std::shared_ptr<OfficeConnection> connection;
    try {
        connection = office.Connect(OfficeStartDeadline, TemplateDeadline);
    } catch (const std::exception& error) {
        ThrowIfInterrupted();
        throw std::runtime_error(std::string("cannot start the private office: ") + error.what());
    }
    SlideRenderer renderer(*connection, scratch.Path() / "renders");

    int const total = plan.TemplateCount();
    int const width = static_cast<int>(std::to_string(total).size());
    int done = 0;
    bool complete = true;
    for (const PackCategory& category : plan.categories) {
        for (const PackTemplate& entry : category.templates) {
            ThrowIfInterrupted();
            out_ << "[" << std::setw(width) << ++done << "/" << total << "] " << category.title
                 << "/" << entry.source.filename().string() << std::endl;
            try {
                QImage const slide = renderer.Render(entry.source, PackPictures::RenderBox());
                pictures.WritePreviews(category.title, entry.number, slide);
                fs::copy_file(entry.source, templates / entry.packName);
            } catch (const TemplateRefused& refused) {
                ThrowIfInterrupted();
                complete = false;
                Problem(entry.source.string() +
                        ": cannot be opened as a presentation: " + refused.Why());
            } catch (const RuntimeError& failed) {
                ThrowIfInterrupted();
                if (connection->Lost()) {
                    throw std::runtime_error(entry.source.string() +
                                             ": the office failed while reading it (" +
                                             Reason(failed) + ")");
                }
                complete = false;
                Problem(entry.source.string() + ": the office failed on it: " + Reason(failed));
            } catch (const fs::filesystem_error& failed) {
                complete = false;
                Problem(entry.source.string() + ": cannot be copied: " + failed.code().message());
            }
        }
    }
    return complete;
}

} // namespace slidevane
