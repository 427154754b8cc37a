#include "UnoAutomationRuntime.h"

#include "AbandonedFrames.h"
#include "DesignSnapshot.h"
#include "SharedOffice.h"
#include "TemplateLoader.h"
#include "UnoApplication.h"
#include "UnoPresentation.h"
#include "UnoValues.h"
#include "adapters/posix/RegistryFileStore.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Module1.h"
#include "platform/DialogPort.h"
#include "platform/RuntimeError.h"
#include "presentation/TemplateOpener.h"
#include "state/BrowserState.h"

#include <algorithm>
#include <chrono>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/FrameSearchFlag.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace slidevane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using Clock = std::chrono::steady_clock;

constexpr char Impress[] = "Powerpoint.Application.9";

std::string UniquePipe(const char* purpose) {
    static int counter = 0;
    return std::string("slidevane3_") + purpose + "_" + std::to_string(getpid()) + "_" +
           std::to_string(counter++);
}

// The path as the catalogue hands it over: backslashes, then the stored NUL, after which
// whatever the buffer held must be ignored.
std::string CataloguePath(const fs::path& file) {
    std::string path = file.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + std::string(1, '\0') + "stale buffer";
}

UnoAutomationRuntime::Settings SharedOfficeSettings() {
    UnoAutomationRuntime::Settings settings = UnoAutomationRuntime::DefaultSettings();
    settings.pipeName = SharedOffice::Office().PipeName();
    settings.launcher = {"/bin/false"}; // the first way never launches anything
    return settings;
}

struct Outcome {
    int number = 0; // 0: no error
    std::string description;
    double seconds = 0;
};

Outcome Attempt(const std::function<void()>& body) {
    Outcome outcome;
    auto const start = Clock::now();
    try {
        body();
    } catch (const RuntimeError& error) {
        outcome.number = error.Number();
        outcome.description = error.Description();
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

// Whether the document has a window, and it is shown.
bool Shown(OfficeConnection& office, const Reference<css::frame::XModel>& document) {
    bool shown = false;
    office.Call("isVisible", [&] {
        Reference<css::frame::XController> const controller = document->getCurrentController();
        shown = controller.is() &&
                Reference<css::awt::XWindow2>(controller->getFrame()->getContainerWindow(),
                                              UNO_QUERY_THROW)
                    ->isVisible();
    });
    return shown;
}

Reference<css::frame::XModel> LoadHidden(OfficeConnection& office, const std::string& url,
                                         bool asTemplate) {
    Reference<css::frame::XModel> document;
    office.Call("load", [&] {
        Reference<css::frame::XComponentLoader> const loader(office.Desktop(), UNO_QUERY_THROW);
        document.set(loader->loadComponentFromURL(
                         uno::ToUno(url), "_blank", 0,
                         uno::Properties({{"Hidden", Any(true)}, {"AsTemplate", Any(asTemplate)}})),
                     UNO_QUERY_THROW);
    });
    return document;
}

// Add, apply and show on an application already obtained: the rest of a double-click.
void AddApplyShow(AutomationApplication& application, const fs::path& file) {
    application.Presentations()->Add(msoTrue)->ApplyTemplate(CataloguePath(file));
    application.SetVisible(msoTrue);
}

// Settings whose second way starts an office of the test's own on a fresh profile, through the
// office's wrapper; the office is stopped and its folder removed when this object goes.
class OwnOffice {
public:
    explicit OwnOffice(const char* purpose)
        : folder_(SharedOffice::ClientTemp() / purpose),
          pidFile_(SharedOffice::ClientTemp() / (std::string(purpose) + ".pid")) {
        settings_ = SharedOfficeSettings();
        settings_.pipeName = UniquePipe(purpose);
        settings_.connectDeadline = 90s;
        settings_.launcher = TestOffice::LauncherCommand(folder_ / "profile", pidFile_);
    }
    ~OwnOffice() {
        if (pid_t const pid = Group(); pid > 1) {
            TestOffice::StopOffice(settings_.pipeName, pid, false);
        }
        fs::remove_all(folder_);
        fs::remove(pidFile_);
    }
    OwnOffice(const OwnOffice&) = delete;
    OwnOffice& operator=(const OwnOffice&) = delete;

    UnoAutomationRuntime::Settings& Settings() { return settings_; }
    // The process group of the office the launcher started last; -1 before it ran.
    pid_t Group() const { return TestOffice::ReadPid(pidFile_); }

private:
    fs::path folder_;
    fs::path pidFile_;
    UnoAutomationRuntime::Settings settings_;
};

// Counts the documents of the office on `pipe`, and those among them whose window is hidden.
struct DocumentCount {
    std::size_t all = 0;
    std::size_t hidden = 0;
};

DocumentCount CountDocuments(const std::string& pipe) {
    DocumentCount count;
    auto office = OfficeConnection::TryConnect(pipe, 30s, 30s);
    if (!office) {
        ADD_FAILURE() << "no office on " << pipe;
        return count;
    }
    office->Call("count", [&] {
        Reference<css::container::XEnumeration> const all =
            office->Desktop()->getComponents()->createEnumeration();
        while (all->hasMoreElements()) {
            Reference<css::frame::XModel> const document(all->nextElement(), UNO_QUERY);
            ++count.all;
            if (!document.is() || !document->getCurrentController().is() ||
                !Reference<css::awt::XWindow2>(
                     document->getCurrentController()->getFrame()->getContainerWindow(),
                     UNO_QUERY_THROW)
                     ->isVisible()) {
                ++count.hidden;
            }
        }
    });
    return count;
}

// Every test leaves the shared office as it found it: no documents.
class ImpressAdapter : public ::testing::Test {
protected:
    void TearDown() override { SharedOffice::Office().CloseDocuments(); }

    static std::size_t Documents() { return SharedOffice::Office().Documents().size(); }
    static std::size_t HiddenDocuments() {
        return CountDocuments(SharedOffice::Office().PipeName()).hidden;
    }
};

// --- class names -------------------------------------------------------------------------

TEST_F(ImpressAdapter, OtherClassNamesCannotBeCreatedAndLaunchNothing) {
    fs::path const marker = SharedOffice::ClientTemp() / "launched";
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.launcher = {"/bin/sh", "-c", "touch '" + marker.string() + "'", "sh"};
    UnoAutomationRuntime runtime(settings);
    for (const char* name :
         {"Excel.Application", "Powerpoint.Application.10", "Powerpoint.Application", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Attempt([&] { runtime.GetObject("", name); }).number, 429);
        EXPECT_EQ(Attempt([&] { runtime.CreateObject(name); }).number, 429);
    }
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(ImpressAdapter, BothVersionsOfThePresentationApplicationReachImpress) {
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    for (const char* name :
         {"Powerpoint.Application.8", "Powerpoint.Application.9", "PowerPoint.Application.9"}) {
        SCOPED_TRACE(name);
        Outcome const outcome = Attempt([&] {
            AddApplyShow(*runtime.GetObject("", name), SharedOffice::Templates().odfTemplate);
        });
        EXPECT_EQ(outcome.number, 0) << outcome.description;
    }
    EXPECT_EQ(Documents(), 3u);
}

// --- the four steps ----------------------------------------------------------------------

struct TemplateCase {
    const char* name;
    std::function<fs::path()> file;
    // The first master's background colour, where the file says what it is.
    std::optional<std::int32_t> firstMasterColour;
    // The office's own 2007 export keeps the title colour on the placeholders, not in the
    // title style; the comparison with the office's own document covers that format.
    bool titleStyleColoured = false;
};

void PrintTo(const TemplateCase& kind, std::ostream* out) {
    *out << kind.name;
}

// The folder's entries, to see that reading a template left nothing beside it (lock files).
std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FourSteps : public ImpressAdapter, public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(FourSteps, GiveTheNewPresentationTheOfficeItselfMakesFromTheTemplate) {
    fs::path const file = GetParam().file();
    if (!fs::exists(file)) {
        GTEST_SKIP() << file << " is not there";
    }
    std::vector<std::string> const folderBefore = Entries(file.parent_path());
    std::size_t const before = Documents();
    UnoAutomationRuntime runtime(SharedOfficeSettings());

    auto application = runtime.GetObject("", Impress);
    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    auto presentation = application->Presentations()->Add(msoTrue);
    presentation->ApplyTemplate(CataloguePath(file));
    Reference<css::frame::XModel> const made(
        dynamic_cast<UnoPresentation&>(*presentation).Document(), UNO_QUERY);
    ASSERT_TRUE(made.is());
    EXPECT_FALSE(Shown(office, made)) << "the presentation must not be seen before it is ready";
    application->SetVisible(msoTrue);
    EXPECT_TRUE(Shown(office, made));
    EXPECT_EQ(Documents(), before + 1);

    DesignSnapshot const applied = DesignSnapshot::Of(office, made);
    Reference<css::frame::XModel> const own =
        LoadHidden(SharedOffice::Office().Connection(), TestOffice::Url(file), true);
    DesignSnapshot const native = DesignSnapshot::Of(SharedOffice::Office().Connection(), own);
    EXPECT_TRUE(applied.TemplateWithTitleSlide(native))
        << "applied " << applied << "\nnative  " << native;
    EXPECT_EQ(applied.slideCount, 1) << "the template's sample slides came along";
    ASSERT_FALSE(applied.masters.empty());
    EXPECT_EQ(applied.firstSlideMaster, applied.masters[0].name);
    EXPECT_EQ(applied.firstSlideLayout, 0) << "the one slide is not a title slide";
    if (GetParam().firstMasterColour) {
        EXPECT_EQ(applied.masters[0].fillColour, *GetParam().firstMasterColour);
    }
    if (GetParam().titleStyleColoured) {
        EXPECT_EQ(applied.titleColour, TemplateFixtures::TitleColour);
    }

    office.Call("state", [&] {
        EXPECT_TRUE(made->getURL().isEmpty()) << "the presentation is not untitled";
        EXPECT_FALSE(Reference<css::frame::XStorable>(made, UNO_QUERY_THROW)->isReadonly());
        EXPECT_FALSE(Reference<css::util::XModifiable>(made, UNO_QUERY_THROW)->isModified());
        EXPECT_FALSE(Reference<css::document::XUndoManagerSupplier>(made, UNO_QUERY_THROW)
                         ->getUndoManager()
                         ->isUndoPossible());
    });
    EXPECT_TRUE(fs::is_empty(SharedOffice::ClientTemp())) << "a temporary file was written";
    EXPECT_EQ(Entries(file.parent_path()), folderBefore) << "something was left beside it";
}

fs::path RealTemplate(const char* name) {
    return fs::path(SLIDEVANE3_REAL_TEMPLATES) / name;
}

INSTANTIATE_TEST_SUITE_P(
    Templates, FourSteps,
    ::testing::Values(
        TemplateCase{"OdfTemplate", [] { return SharedOffice::Templates().odfTemplate; },
                     TemplateFixtures::FirstMasterColour, true},
        TemplateCase{"PowerPoint97Template", [] { return SharedOffice::Templates().powerPoint97; },
                     TemplateFixtures::FirstMasterColour, true},
        TemplateCase{"PowerPoint2007Template",
                     [] { return SharedOffice::Templates().powerPoint2007; },
                     TemplateFixtures::FirstMasterColour, false},
        TemplateCase{"OdfPresentation", [] { return SharedOffice::Templates().odfPresentation; },
                     TemplateFixtures::FirstMasterColour, true},
        TemplateCase{"PowerPoint97Presentation",
                     [] { return SharedOffice::Templates().powerPoint97Presentation; },
                     TemplateFixtures::FirstMasterColour, true},
        TemplateCase{"PowerPoint2007Presentation",
                     [] { return SharedOffice::Templates().powerPoint2007Presentation; },
                     TemplateFixtures::FirstMasterColour, false},
        // Written by the presentation application itself: several masters, the first one
        // light green, and sample slides with text.
        TemplateCase{"RealPowerPoint97Template", [] { return RealTemplate("slide-masters.pot"); },
                     0xCCFFCC, false},
        TemplateCase{"RealPowerPoint2007Template",
                     [] { return RealTemplate("screenshot-deck.potx"); }, std::nullopt, false}),
    [](const ::testing::TestParamInfo<TemplateCase>& info) { return info.param.name; });

TEST_F(ImpressAdapter, ShowingTheApplicationShowsOnlyThePresentationsItCreated) {
    OfficeConnection& tests = SharedOffice::Office().Connection();
    Reference<css::frame::XModel> const other =
        LoadHidden(tests, "private:factory/simpress", false);
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    auto first = application->Presentations()->Add(msoTrue);
    auto second = application->Presentations()->Add(msoTrue);
    first->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
    second->ApplyTemplate(CataloguePath(SharedOffice::Templates().powerPoint97));
    application->SetVisible(msoTrue);

    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    for (const auto* presentation : {first.get(), second.get()}) {
        EXPECT_TRUE(
            Shown(office,
                  Reference<css::frame::XModel>(
                      dynamic_cast<const UnoPresentation&>(*presentation).Document(), UNO_QUERY)));
    }
    EXPECT_FALSE(Shown(tests, other));
}

TEST_F(ImpressAdapter, APresentationNeverGivenATemplateIsShownPlain) {
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    auto presentation = application->Presentations()->Add(msoTrue);
    EXPECT_EQ(Documents(), 0u) << "adding alone asks nothing of the office";
    application->SetVisible(msoTrue);
    EXPECT_EQ(Documents(), 1u);
    EXPECT_EQ(HiddenDocuments(), 0u);
}

// --- templates that cannot be opened -------------------------------------------------------

struct BadTemplate {
    const char* name;
    std::function<fs::path()> file;
    int number;
    const char* reason; // part of the description; for 440 after "cannot be opened ..."
};

void PrintTo(const BadTemplate& bad, std::ostream* out) {
    *out << bad.name;
}

class BadTemplates : public ImpressAdapter, public ::testing::WithParamInterface<BadTemplate> {};

TEST_P(BadTemplates, FailAtOnceWithTheirReasonAndLeaveNothingBehind) {
    fs::path const file = GetParam().file();
    std::size_t const before = Documents();
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    auto presentation = application->Presentations()->Add(msoTrue);

    Outcome const outcome = Attempt([&] { presentation->ApplyTemplate(CataloguePath(file)); });
    EXPECT_EQ(outcome.number, GetParam().number) << outcome.description;
    EXPECT_NE(outcome.description.find(GetParam().reason), std::string::npos)
        << outcome.description;
    if (GetParam().number == 440) {
        EXPECT_NE(outcome.description.find(file.string() + " cannot be opened as a presentation"),
                  std::string::npos)
            << outcome.description;
    }
    for (const char* internal : {"bridge", "URP", ".cxx", "binaryurp"}) {
        EXPECT_EQ(outcome.description.find(internal), std::string::npos) << outcome.description;
    }
    EXPECT_LT(outcome.seconds, 5.0) << "a template that cannot be opened must fail at once";
    EXPECT_EQ(Documents(), before) << "a presentation was left in the office";
    EXPECT_TRUE(fs::is_empty(SharedOffice::ClientTemp())) << "a temporary file was written";
    // The application is still usable and has nothing to show.
    EXPECT_EQ(Attempt([&] { application->SetVisible(msoTrue); }).number, 0);
    EXPECT_EQ(Documents(), before);
    EXPECT_EQ(Attempt([&] { presentation->ApplyTemplate(CataloguePath(file)); }).number,
              GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadTemplates,
    ::testing::Values(
        BadTemplate{
            "MissingFile",
            [] { return SharedOffice::Templates().odfTemplate.parent_path() / "Missing.otp"; }, 53,
            "File not found"},
        BadTemplate{"MissingFolder",
                    [] {
                        return SharedOffice::Templates().odfTemplate.parent_path() / "Missing" /
                               "Teal Design.otp";
                    },
                    76, "Path not found"},
        // What the office says of these depends on the modules it has; never that it opened them.
        BadTemplate{"GarbageBytes", [] { return SharedOffice::Templates().garbage; }, 440,
                    "cannot be opened as a presentation: "},
        BadTemplate{"TextDocument", [] { return SharedOffice::Templates().textDocument; }, 440,
                    "cannot be opened as a presentation: "},
        // Whatever the format, a password is a password: the user can open it knowing one.
        BadTemplate{"PasswordProtected", [] { return SharedOffice::Templates().passwordProtected; },
                    440, "it is protected by a password"},
        BadTemplate{"PasswordProtected2007",
                    [] { return SharedOffice::Templates().passwordProtected2007; }, 440,
                    "it is protected by a password"},
        BadTemplate{"PasswordProtected97",
                    [] { return SharedOffice::Templates().passwordProtected97; }, 440,
                    "it is protected by a password"},
        BadTemplate{"TruncatedOdf", [] { return SharedOffice::Templates().truncatedOdf; }, 440,
                    "cannot be opened as a presentation: "},
        BadTemplate{"Truncated97", [] { return SharedOffice::Templates().truncated97; }, 440,
                    "cannot be opened as a presentation: "},
        BadTemplate{"EmptyFile", [] { return SharedOffice::Templates().emptyFile; }, 440,
                    "it is empty"},
        BadTemplate{"Folder", [] { return SharedOffice::Templates().folder; }, 440,
                    "it is not a regular file (a folder)"},
        BadTemplate{"NamedPipe", [] { return SharedOffice::Templates().pipe; }, 440,
                    "it is not a regular file (a FIFO)"}),
    [](const ::testing::TestParamInfo<BadTemplate>& info) { return info.param.name; });

TEST_F(ImpressAdapter, AnUnreadableTemplateSaysSo) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "file modes do not keep the superuser out";
    }
    fs::path const file = SharedOffice::ClientTemp() / "Unreadable.otp";
    fs::copy_file(SharedOffice::Templates().odfTemplate, file);
    fs::permissions(file, fs::perms::none);
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    Outcome const outcome = Attempt(
        [&] { application->Presentations()->Add(msoTrue)->ApplyTemplate(CataloguePath(file)); });
    fs::remove(file);
    EXPECT_EQ(outcome.number, 440);
    EXPECT_NE(outcome.description.find("it cannot be read: Permission denied"), std::string::npos)
        << outcome.description;
}

// A file name is bytes: one that is not UTF-8 text (left by an archive or an older system) opens
// by its own bytes, as do names holding what a URL gives a meaning to, in a folder whose name
// is not UTF-8 either.
TEST_F(ImpressAdapter, TemplatesOpenByTheBytesOfTheirNames) {
    fs::path const folder = SharedOffice::ClientTemp() / "names \xE9";
    fs::create_directories(folder);
    struct Removed {
        fs::path folder;
        ~Removed() { fs::remove_all(folder); }
    } const removed{folder};
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    for (const char* name : {"Caf\xE9.otp", "\x80\xFF\xC3.otp", "Caf\xC3\xA9 \xE2\x82\xAC.otp",
                             "100% #1 ?a=b;c&d+e[f]@g.otp", "%E9 %%.otp"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(name)));
        fs::path const file = folder / name;
        fs::copy_file(SharedOffice::Templates().odfTemplate, file);
        auto presentation = application->Presentations()->Add(msoTrue);
        Outcome const outcome = Attempt([&] { presentation->ApplyTemplate(CataloguePath(file)); });
        ASSERT_EQ(outcome.number, 0) << outcome.description;
        Reference<css::frame::XModel> const made(
            dynamic_cast<UnoPresentation&>(*presentation).Document(), UNO_QUERY);
        DesignSnapshot const design = DesignSnapshot::Of(office, made);
        ASSERT_FALSE(design.masters.empty());
        EXPECT_EQ(design.masters[0].fillColour, TemplateFixtures::FirstMasterColour);
    }
}

// A dialog that only records; the opener shows none in these tests.
class SilentDialog : public DialogPort {
public:
    void MessageBox(const std::string& text, const std::string&) override { shown.push_back(text); }
    void Quit(int) override {}
    std::vector<std::string> shown;
};

// A run of the program, as far as a double-click goes: its opener and its own runtime.
struct ProgramRun {
    explicit ProgramRun(const UnoAutomationRuntime::Settings& settings)
        : runtime(settings), module1(nothing), catalogue(module1),
          opener(state, catalogue, runtime, dialog) {
        state.HasPptVer = "9";
    }

    BrowserState state;
    UnoAutomationRuntime runtime;
    RegistryFileStore nothing{std::vector<std::filesystem::path>{}};
    Module1 module1;
    Catalogue catalogue;
    SilentDialog dialog;
    TemplateOpener opener;
};

TEST_F(ImpressAdapter, AFailedTemplateNeverSpoilsTheRetryNorTheNextDoubleClick) {
    // As users live it: a double-click on a template the office cannot open when no office
    // runs (the retry starts one); then, in a later run of the program, the same with the
    // office that the earlier run started, followed by a good template. The opener makes its
    // two attempts each time, and each time the report names the template and the reason.
    OwnOffice own("sequence");
    fs::path const bad = SharedOffice::Templates().truncatedOdf;
    std::string const expected = bad.string() + " cannot be opened as a presentation";
    auto expectTheTemplatesOwnReason = [&](const Outcome& failed) {
        EXPECT_EQ(failed.number, 440);
        EXPECT_NE(failed.description.find(expected), std::string::npos) << failed.description;
        EXPECT_EQ(failed.description.find("bridge"), std::string::npos) << failed.description;
    };
    {
        SCOPED_TRACE("no office running");
        auto earlier = std::make_unique<ProgramRun>(own.Settings());
        expectTheTemplatesOwnReason(
            Attempt([&] { earlier->opener.StartPresentationApp(CataloguePath(bad)); }));
        ASSERT_GT(own.Group(), 0) << "the retry started no office";
        EXPECT_TRUE(earlier->dialog.shown.empty());
    }
    SCOPED_TRACE("office started by an earlier run");
    ProgramRun later(own.Settings());
    std::size_t const before = CountDocuments(own.Settings().pipeName).all;
    expectTheTemplatesOwnReason(
        Attempt([&] { later.opener.StartPresentationApp(CataloguePath(bad)); }));
    EXPECT_EQ(CountDocuments(own.Settings().pipeName).all, before);
    Outcome const opened = Attempt([&] {
        later.opener.StartPresentationApp(CataloguePath(SharedOffice::Templates().powerPoint97));
    });
    EXPECT_EQ(opened.number, 0) << opened.description;
    DocumentCount const after = CountDocuments(own.Settings().pipeName);
    EXPECT_EQ(after.all, before + 1);
    EXPECT_EQ(after.hidden, 0u);
    EXPECT_TRUE(later.dialog.shown.empty());
}

TEST_F(ImpressAdapter, APresentationClosedBeforeShowingFailsTheStepAndLeavesNothingBehind) {
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    auto gone = application->Presentations()->Add(msoTrue);
    auto waiting = application->Presentations()->Add(msoTrue);
    gone->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
    waiting->ApplyTemplate(CataloguePath(SharedOffice::Templates().powerPoint97));
    EXPECT_EQ(Documents(), 0u) << "nothing has a window before the application is shown";
    // Another program closes the first one before it is shown.
    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    office.Call("close",
                [&] { TemplateLoader::Close(dynamic_cast<UnoPresentation&>(*gone).Document()); });

    Outcome const shown = Attempt([&] { application->SetVisible(msoTrue); });
    EXPECT_EQ(shown.number, 440) << shown.description;
    EXPECT_FALSE(office.Lost()) << "the office is fine; only a presentation went";
    application.reset();
    EXPECT_EQ(CountDocuments(SharedOffice::Office().PipeName()).all, 0u);
}

// A window is shown before its presentation is put into it. A frame given up while the office
// stood still may be shown and empty, or shown with the presentation in it: the first is
// closed once the office answers again, the second is the user's.
TEST_F(ImpressAdapter, AbandonedFramesCloseShownEmptyFramesAndKeepShownPresentations) {
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    std::string const empty = UniquePipe("empty frame");
    std::string const full = UniquePipe("shown presentation");
    Reference<css::lang::XComponent> shown;
    office.Call("frames", [&] {
        for (const std::string& name : {empty, full}) {
            Reference<css::frame::XFrame> const frame =
                office.Desktop()->findFrame(uno::ToUno(name), css::frame::FrameSearchFlag::CREATE);
            frame->getContainerWindow()->setVisible(true);
            if (name == full) {
                shown = Reference<css::frame::XComponentLoader>(frame, UNO_QUERY_THROW)
                            ->loadComponentFromURL("private:factory/simpress", "_self", 0, {});
            }
            AbandonedFrames::Remember(office.Link()->PipeName(), name);
        }
    });
    auto const exists = [&](const std::string& name) {
        bool found = false;
        office.Call("find", [&] {
            found = office.Desktop()
                        ->findFrame(uno::ToUno(name), css::frame::FrameSearchFlag::CHILDREN)
                        .is();
        });
        return found;
    };
    ASSERT_TRUE(exists(empty));
    office.Call("close abandoned", [&] { AbandonedFrames::CloseFound(office); });
    EXPECT_FALSE(exists(empty)) << "an empty window was left on the user's screen";
    EXPECT_TRUE(exists(full)) << "a shown presentation was closed";
    EXPECT_FALSE(AbandonedFrames::Any(office.Link()->PipeName()));
    office.Call("close", [&] { TemplateLoader::Close(shown); });
}

// --- obtaining the office ------------------------------------------------------------------

TEST_F(ImpressAdapter, FirstWayFailsAtOnceWhenNothingListens) {
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.pipeName = UniquePipe("nobody");
    UnoAutomationRuntime runtime(settings);
    Outcome const outcome = Attempt([&] { runtime.GetObject("", Impress); });
    EXPECT_EQ(outcome.number, 440);
    EXPECT_LT(outcome.seconds, 1.0);
}

TEST_F(ImpressAdapter, SecondWayGivesUpAtOnceWhenTheLauncherFails) {
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.pipeName = UniquePipe("failing");
    settings.connectDeadline = 20s;
    settings.launcher = {"/bin/sh", "-c", "exit 3", "sh"};
    Outcome const failed = Attempt([&] { UnoAutomationRuntime(settings).CreateObject(Impress); });
    EXPECT_EQ(failed.number, 440);
    EXPECT_NE(failed.description.find("status 3"), std::string::npos) << failed.description;
    EXPECT_LT(failed.seconds, 3.0);

    settings.launcher = {"/nonexistent/soffice"};
    Outcome const missing = Attempt([&] { UnoAutomationRuntime(settings).CreateObject(Impress); });
    EXPECT_EQ(missing.number, 440);
    EXPECT_LT(missing.seconds, 3.0);
}

TEST_F(ImpressAdapter, SecondWayIsBoundedByItsDeadlineWhenTheOfficeNeverAnswers) {
    fs::path const pidFile = SharedOffice::ClientTemp() / "sleeper.pid";
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.pipeName = UniquePipe("silent");
    settings.connectDeadline = 1500ms;
    settings.launcher = {"/bin/sh", "-c", "echo $$ > '" + pidFile.string() + "'; exec sleep 600",
                         "sh"};
    Outcome const outcome = Attempt([&] { UnoAutomationRuntime(settings).CreateObject(Impress); });
    if (pid_t const launcher = TestOffice::ReadPid(pidFile); launcher > 1) {
        kill(launcher, SIGKILL);
    }
    fs::remove(pidFile);
    EXPECT_EQ(outcome.number, 440);
    EXPECT_GE(outcome.seconds, 1.5);
    EXPECT_LT(outcome.seconds, 5.0);
}

TEST_F(ImpressAdapter, SecondWayReachesTheOfficeTheUserAlreadyRuns) {
    // The launcher finds the running office of the same profile and hands it the accept option.
    std::size_t const before = Documents();
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.pipeName = UniquePipe("handover");
    settings.launcher = {std::string(SLIDEVANE3_OFFICE_PROGRAM) + "/soffice.bin",
                         TestOffice::ProfileOption(SharedOffice::Office().Profile()), "--headless",
                         "--nolockcheck"};
    UnoAutomationRuntime runtime(settings);
    AddApplyShow(*runtime.CreateObject(Impress), SharedOffice::Templates().odfTemplate);
    EXPECT_EQ(Documents(), before + 1) << "the presentation is not in the running office";
}

TEST_F(ImpressAdapter, SecondWayStartsAnOfficeWhenNoneRuns) {
    OwnOffice own("cold");
    UnoAutomationRuntime runtime(own.Settings());
    Outcome const outcome = Attempt([&] {
        auto application = runtime.CreateObject(Impress);
        auto presentation = application->Presentations()->Add(msoTrue);
        presentation->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
        application->SetVisible(msoTrue);
        OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
        DesignSnapshot const design = DesignSnapshot::Of(
            office, Reference<css::frame::XModel>(
                        dynamic_cast<UnoPresentation&>(*presentation).Document(), UNO_QUERY));
        EXPECT_EQ(design.masters.at(0).fillColour, TemplateFixtures::FirstMasterColour);
    });
    EXPECT_EQ(outcome.number, 0) << outcome.description;
    EXPECT_GT(own.Group(), 0) << "the launcher never ran";
}

TEST_F(ImpressAdapter, SecondWayWithoutAnOfficeInstalledFailsAtOnce) {
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.pipeName = UniquePipe("absent");
    settings.launcher = {(SharedOffice::ClientTemp() / "no-such-office" / "soffice").string()};
    UnoAutomationRuntime runtime(settings);
    Outcome const outcome = Attempt([&] { runtime.CreateObject(Impress); });
    EXPECT_NE(outcome.number, 0);
    EXPECT_LT(outcome.seconds, 5.0);
}

// --- an office that dies between the steps -----------------------------------------------

TEST_F(ImpressAdapter, AnOfficeKilledBetweenTheStepsFailsTheAttemptAndANewOneServesTheRetry) {
    OwnOffice own("killed");
    own.Settings().callDeadline = 20s;
    std::string const odf = CataloguePath(SharedOffice::Templates().odfTemplate);

    UnoAutomationRuntime runtime(own.Settings());
    auto application = runtime.CreateObject(Impress);
    auto presentation = application->Presentations()->Add(msoTrue);
    pid_t const group = own.Group();
    ASSERT_GT(group, 1);
    ASSERT_EQ(kill(-group, SIGKILL), 0);
    // The office's end reaches this process through the link's own reader; give it a moment
    // so that both ways the end can be noticed are exercised (here, and by the failing call).
    std::this_thread::sleep_for(200ms);

    Outcome const apply = Attempt([&] { presentation->ApplyTemplate(odf); });
    EXPECT_NE(apply.number, 0) << "a dead office cannot have applied the design";
    EXPECT_LT(apply.seconds, 20.0);
    Outcome const show = Attempt([&] { application->SetVisible(msoTrue); });
    EXPECT_NE(show.number, 0);

    // The double-click's second attempt: the launcher starts a new office on the same pipe.
    Outcome const retry = Attempt([&] {
        AddApplyShow(*runtime.CreateObject(Impress), SharedOffice::Templates().odfTemplate);
    });
    EXPECT_EQ(retry.number, 0) << retry.description;
    EXPECT_NE(own.Group(), group);
}

// --- an office that stops answering ------------------------------------------------------

// Stops the shared office for the life of this object; it always continues it afterwards.
class PausedOffice {
public:
    explicit PausedOffice(pid_t pid) : pid_(pid > 1 ? pid : -1) {
        if (pid_ > 1) {
            kill(pid_, SIGSTOP);
        }
    }
    ~PausedOffice() {
        if (pid_ > 1) {
            kill(pid_, SIGCONT);
        }
    }
    PausedOffice(const PausedOffice&) = delete;
    PausedOffice& operator=(const PausedOffice&) = delete;

private:
    pid_t pid_;
};

TEST_F(ImpressAdapter, AStoppedOfficeEndsInAnErrorWithinTheDeadline) {
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.connectDeadline = 1500ms;
    settings.callDeadline = 1500ms;
    UnoAutomationRuntime runtime(settings);
    struct Reconnect {
        ~Reconnect() { SharedOffice::Office().Reconnect(); }
    } const reconnect;
    SharedOffice::Office().Disconnect();
    auto application = runtime.GetObject("", Impress);
    auto presentation = application->Presentations()->Add(msoTrue);
    {
        PausedOffice const paused(SharedOffice::Office().Pid());
        Outcome const call = Attempt([&] {
            presentation->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
        });
        EXPECT_EQ(call.number, 440);
        EXPECT_NE(call.description.find("did not answer"), std::string::npos) << call.description;
        EXPECT_GE(call.seconds, 1.5);
        EXPECT_LT(call.seconds, 5.0);

        Outcome const attach = Attempt([&] { runtime.GetObject("", Impress); });
        EXPECT_EQ(attach.number, 440);
        EXPECT_LT(attach.seconds, 5.0);
    }
    // The office itself is fine once it runs again; only that connection was given up.
    Outcome const again =
        Attempt([&] { runtime.GetObject("", Impress)->Presentations()->Add(msoTrue); });
    EXPECT_EQ(again.number, 0) << again.description;
}

TEST_F(ImpressAdapter, AnOfficeThatStandsStillWhileShowingLeavesNothingHidden) {
    UnoAutomationRuntime::Settings settings = SharedOfficeSettings();
    settings.callDeadline = 1500ms;
    UnoAutomationRuntime runtime(settings);
    struct Reconnect {
        ~Reconnect() { SharedOffice::Office().Reconnect(); }
    } const reconnect;
    SharedOffice::Office().Disconnect();
    for (bool const showing : {false, true}) {
        SCOPED_TRACE(showing ? "while showing" : "while applying the template");
        auto application = runtime.GetObject("", Impress);
        auto presentation = application->Presentations()->Add(msoTrue);
        if (showing) {
            presentation->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
        }
        PausedOffice const paused(SharedOffice::Office().Pid());
        Outcome const failed = Attempt([&] {
            if (!showing) {
                presentation->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
            }
            application->SetVisible(msoTrue);
        });
        EXPECT_EQ(failed.number, 440);
        EXPECT_NE(failed.description.find("did not answer"), std::string::npos)
            << failed.description;
    }
    // The office runs again and finishes what it was asked; the next double-click reaches it.
    Outcome const next = Attempt([&] {
        AddApplyShow(*runtime.GetObject("", Impress), SharedOffice::Templates().powerPoint97);
    });
    EXPECT_EQ(next.number, 0) << next.description;
    EXPECT_EQ(CountDocuments(SharedOffice::Office().PipeName()).hidden, 0u)
        << "a presentation made by the program stayed hidden in the office";
}

} // namespace
} // namespace slidevane::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new slidevane::testing::SharedOffice);
    return RUN_ALL_TESTS();
}
