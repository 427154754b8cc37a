#include "OfficeAhead.h"

#include "OfficeConnection.h"
#include "OfficeGroup.h"
#include "OfficeKeeper.h"
#include "OfficePipes.h"
#include "TemplateLoader.h"
#include "UnoValues.h"
#include "adapters/posix/SessionSpawn.h"

#include <com/sun/star/frame/FrameSearchFlag.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/io/XSequenceOutputStream.hpp>
#include <fcntl.h>
#include <osl/file.hxx>
#include <sys/wait.h>
#include <unistd.h>

namespace slidevane {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

// A start is looked at this often: a failed look costs one local connect.
constexpr auto PollInterval = 20ms;

// Starts the keeper for the office whose launcher is `group`, reading end of file on `tie`. A
// session of its own: a terminal's signals to the program must not end the keeper before it has
// done its work.
pid_t StartKeeper(const OfficeAhead::Settings& settings, pid_t group, int tie) {
    int error = 0;
    return SessionSpawn::Start(
        {settings.keeper.string(), settings.pipeName, std::to_string(group), settings.profileUrl},
        {tie, SessionSpawn::Null, SessionSpawn::Inherit}, error);
}

} // namespace

OfficeAhead::OfficeAhead(Settings settings) : settings_(std::move(settings)) {}

OfficeAhead::~OfficeAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (watcher_.joinable()) {
        watcher_.join();
    }
    if (keeper_ > 0) {
        waitpid(keeper_, nullptr, WNOHANG); // a keeper that failed early is not left a zombie
    }
    // The tie stays open to the end of the process: the keeper's work begins when it closes.
}

fs::path OfficeAhead::ProfileFolder(const std::string& profileUrl) {
    OUString path;
    if (profileUrl.rfind("file:", 0) != 0 ||
        osl::FileBase::getSystemPathFromFileURL(uno::ToUno(profileUrl), path) !=
            osl::FileBase::E_None) {
        return {};
    }
    return uno::FromUno(path);
}

OfficeAhead::Outcome OfficeAhead::Start() {
    if (launcher_) {
        return Outcome::Started;
    }
    if (access(settings_.keeper.c_str(), X_OK) != 0) {
        return Outcome::Failed;
    }
    if (OfficePipes::Listening(OfficePipes::Named(settings_.pipeName)) ||
        OfficePipes::Listening(OfficePipes::OfProfile(settings_.profileUrl))) {
        return Outcome::Running;
    }
    fs::path const profile = ProfileFolder(settings_.profileUrl);
    std::error_code ignored;
    if (profile.empty() || !fs::is_directory(profile / "user", ignored)) {
        return Outcome::NoProfile;
    }
    lock_ = OfficeStartLock::TryTake(settings_.pipeName);
    if (!lock_) {
        return Outcome::OtherStarting;
    }
    int tie[2];
    if (pipe2(tie, O_CLOEXEC) != 0) {
        lock_.reset();
        return Outcome::Failed;
    }
    try {
        launcher_ = std::make_unique<OfficeLauncher>(settings_.launcher, settings_.pipeName);
    } catch (const std::exception&) {
        close(tie[0]);
        close(tie[1]);
        lock_.reset();
        return Outcome::Failed;
    }
    keeper_ = StartKeeper(settings_, launcher_->Pid(), tie[0]);
    close(tie[0]);
    tie_ = tie[1];
    if (keeper_ <= 0) {
        // Without its keeper the office would outlive the program unseen: it goes at once.
        OfficeGroup(launcher_->Pid()).Kill();
    }
    {
        std::lock_guard lock(mutex_);
        settled_ = false;
    }
    watcher_ = std::thread([this] { Watch(); });
    return keeper_ > 0 ? Outcome::Started : Outcome::Failed;
}

void OfficeAhead::Watch() {
    auto const deadline = std::chrono::steady_clock::now() + settings_.startDeadline;
    std::string const pipe = OfficePipes::Named(settings_.pipeName);
    std::unique_lock lock(mutex_);
    while (!stopping_ && std::chrono::steady_clock::now() < deadline) {
        lock.unlock();
        bool const answers = OfficePipes::Listening(pipe);
        std::optional<int> const status = launcher_->ExitStatus();
        lock.lock();
        if (answers || (status && *status != 0)) {
            break;
        }
        changed_.wait_for(lock, PollInterval);
    }
    // Once the office answers on the pipe, another run finds it there rather than starting one.
    lock_.reset();
    bool const ready = !stopping_ && OfficePipes::Listening(pipe);
    lock.unlock();
    if (ready) {
        Ready();
    }
    lock.lock();
    settled_ = true;
    lock.unlock();
    changed_.notify_all();
}

void OfficeAhead::Ready() {
    try {
        std::shared_ptr<OfficeConnection> const office = OfficeConnection::TryConnect(
            settings_.pipeName, settings_.callDeadline, settings_.callDeadline);
        if (!office) {
            return;
        }
        link_ = office->Link();
        std::string const prefix = OfficeKeeper::OwnFramePrefix + std::to_string(getpid()) + "_";
        office->Call("ready", [&] {
            Reference<css::frame::XComponentLoader> const loader(office->Desktop(),
                                                                 UNO_QUERY_THROW);
            // Each document goes into a frame made under a name of the program's own first, so
            // that the keeper knows it for the program's whatever state it is in.
            std::vector<Reference<css::frame::XFrame>> frames;
            auto const hidden = [&](const OUString& url, const char* name,
                                    std::vector<std::pair<const char*, Any>> arguments) {
                Reference<css::frame::XFrame> const frame = office->Desktop()->findFrame(
                    uno::ToUno(prefix + name), css::frame::FrameSearchFlag::CREATE);
                frames.push_back(frame);
                arguments.emplace_back("Hidden", Any(true));
                return Reference<css::frame::XComponentLoader>(frame, UNO_QUERY_THROW)
                    ->loadComponentFromURL(url, "_self", 0, uno::Properties(arguments));
            };
            // A presentation with a view, and each family of formats a template comes in read
            // back through its importer: the code a double-click runs, loaded before it.
            Reference<css::uno::XInterface> const made =
                hidden("private:factory/simpress", "made", {});
            for (const char* filter :
                 {"impress8", "MS PowerPoint 97", "Impress MS PowerPoint 2007 XML"}) {
                Reference<css::io::XSequenceOutputStream> const out(
                    office->Create("com.sun.star.io.SequenceOutputStream"), UNO_QUERY_THROW);
                Reference<css::frame::XStorable>(made, UNO_QUERY_THROW)
                    ->storeToURL(
                        "private:stream",
                        uno::Properties({{"OutputStream", Any(Reference<css::io::XOutputStream>(
                                                              out, UNO_QUERY_THROW))},
                                         {"FilterName", Any(OUString::createFromAscii(filter))}}));
                css::uno::Sequence<css::uno::Any> bytes(1);
                bytes.getArray()[0] <<= out->getWrittenBytes();
                Reference<css::io::XInputStream> const in(
                    office->Create("com.sun.star.io.SequenceInputStream", bytes), UNO_QUERY_THROW);
                TemplateLoader::Close(hidden("private:stream", "read",
                                             {{"InputStream", Any(in)}, {"ReadOnly", Any(true)}}));
            }
            TemplateLoader::Close(made);
        });
    } catch (const std::exception&) {
        // The double-click finds out for itself what is wrong with the office, and says so.
    }
}

void OfficeAhead::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return settled_; });
}

} // namespace slidevane
