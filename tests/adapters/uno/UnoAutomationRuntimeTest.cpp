#include "UnoAutomationRuntime.h"

#include "DesignSnapshot.h"
#include "SharedOffice.h"
#include "TemplateDesignImporter.h"
#include "UnoApplication.h"
#include "UnoPresentation.h"
#include "UnoValues.h"
#include "shell/RuntimeError.h"

#include <algorithm>
#include <chrono>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace slidevane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using css::uno::Any;
using css::uno::Reference;
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

bool Shown(OfficeConnection& office, const Reference<css::frame::XModel>& document) {
    bool shown = false;
    office.Call("isVisible", [&] {
        shown =
            Reference<css::awt::XWindow2>(
                document->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW)
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
        if (pid_t const pid = Group(); pid > 0) {
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

// Every test leaves the shared office as it found it: no documents.
class ImpressAdapter : public ::testing::Test {
protected:
    void TearDown() override { SharedOffice::Office().CloseDocuments(); }

    static std::size_t Documents() { return SharedOffice::Office().Documents().size(); }
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
            auto application = runtime.GetObject("", name);
            application->Presentations()->Add(msoTrue);
        });
        EXPECT_EQ(outcome.number, 0) << outcome.description;
    }
    EXPECT_EQ(Documents(), 3u);
}

// --- the four steps ----------------------------------------------------------------------

enum class Kind { Odf, PowerPoint97, PowerPoint2007 };

const fs::path& TemplateOf(Kind kind) {
    const TemplateFixtures& templates = SharedOffice::Templates();
    switch (kind) {
    case Kind::Odf:
        return templates.odfTemplate;
    case Kind::PowerPoint97:
        return templates.powerPoint97;
    case Kind::PowerPoint2007:
        break;
    }
    return templates.powerPoint2007;
}

void PrintTo(Kind kind, std::ostream* out) {
    *out << (kind == Kind::Odf ? ".otp" : kind == Kind::PowerPoint97 ? ".pot" : ".potx");
}

class FourSteps : public ImpressAdapter, public ::testing::WithParamInterface<Kind> {};

TEST_P(FourSteps, GiveTheDesignTheOfficeItselfGivesTheTemplate) {
    fs::path const file = TemplateOf(GetParam());
    std::size_t const before = Documents();
    UnoAutomationRuntime runtime(SharedOfficeSettings());

    auto application = runtime.GetObject("", Impress);
    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    auto presentation = application->Presentations()->Add(msoTrue);
    Reference<css::frame::XModel> const added =
        dynamic_cast<UnoPresentation&>(*presentation).Document();
    EXPECT_FALSE(Shown(office, added));

    presentation->ApplyTemplate(CataloguePath(file));
    // The styles importer, not the fallback, did the work: still the presentation Add made.
    EXPECT_TRUE(dynamic_cast<UnoPresentation&>(*presentation).Document() == added);
    EXPECT_FALSE(Shown(office, added)) << "the plain presentation must never be seen";
    application->SetVisible(msoTrue);
    EXPECT_TRUE(Shown(office, added));
    EXPECT_EQ(Documents(), before + 1);

    DesignSnapshot const applied = DesignSnapshot::Of(office, added);
    Reference<css::frame::XModel> const own =
        LoadHidden(SharedOffice::Office().Connection(), TestOffice::Url(file), true);
    DesignSnapshot const native = DesignSnapshot::Of(SharedOffice::Office().Connection(), own);
    EXPECT_TRUE(applied.SameDesign(native)) << "applied " << applied << "\nnative  " << native;
    EXPECT_EQ(applied.slideCount, 1) << "the template's sample slides came along";
    ASSERT_FALSE(applied.masters.empty());
    EXPECT_EQ(applied.masters[0].fillColour, TemplateFixtures::FirstMasterColour);
    if (GetParam() != Kind::PowerPoint2007) {
        // The office's own 2007 export keeps the title colour on the placeholders, not in the
        // title style; the comparison with the native document above covers that format.
        EXPECT_EQ(applied.titleColour, TemplateFixtures::TitleColour);
    }
    EXPECT_EQ(applied.firstSlideMaster, applied.masters[0].name);

    office.Call("state", [&] {
        EXPECT_FALSE(Reference<css::util::XModifiable>(added, UNO_QUERY_THROW)->isModified());
        EXPECT_FALSE(Reference<css::document::XUndoManagerSupplier>(added, UNO_QUERY_THROW)
                         ->getUndoManager()
                         ->isUndoPossible());
    });
    EXPECT_TRUE(fs::is_empty(SharedOffice::ClientTemp())) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(Templates, FourSteps,
                         ::testing::Values(Kind::Odf, Kind::PowerPoint97, Kind::PowerPoint2007),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                             switch (info.param) {
                             case Kind::Odf:
                                 return "OdfTemplate";
                             case Kind::PowerPoint97:
                                 return "PowerPoint97Template";
                             case Kind::PowerPoint2007:
                                 break;
                             }
                             return "PowerPoint2007Template";
                         });

TEST_F(ImpressAdapter, ShowingTheApplicationShowsOnlyThePresentationsItCreated) {
    OfficeConnection& tests = SharedOffice::Office().Connection();
    Reference<css::frame::XModel> const other =
        LoadHidden(tests, "private:factory/simpress", false);
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    auto first = application->Presentations()->Add(msoTrue);
    auto second = application->Presentations()->Add(msoTrue);
    first->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
    second->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
    application->SetVisible(msoTrue);

    OfficeConnection& office = *dynamic_cast<UnoApplication&>(*application).Office();
    EXPECT_TRUE(Shown(office, dynamic_cast<UnoPresentation&>(*first).Document()));
    EXPECT_TRUE(Shown(office, dynamic_cast<UnoPresentation&>(*second).Document()));
    EXPECT_FALSE(Shown(tests, other));
}

// --- templates that cannot be applied ------------------------------------------------------

struct BadTemplate {
    const char* name;
    std::function<std::string()> path;
    int number;
};

void PrintTo(const BadTemplate& bad, std::ostream* out) {
    *out << bad.name;
}

class BadTemplates : public ImpressAdapter, public ::testing::WithParamInterface<BadTemplate> {};

TEST_P(BadTemplates, FailWithTheirErrorAndLeaveNoDocumentBehind) {
    std::size_t const before = Documents();
    UnoAutomationRuntime runtime(SharedOfficeSettings());
    auto application = runtime.GetObject("", Impress);
    auto presentation = application->Presentations()->Add(msoTrue);
    ASSERT_EQ(Documents(), before + 1);

    Outcome const outcome = Attempt([&] { presentation->ApplyTemplate(GetParam().path()); });
    EXPECT_EQ(outcome.number, GetParam().number) << outcome.description;
    EXPECT_EQ(Documents(), before) << "the hidden presentation was left in the office";
    EXPECT_TRUE(fs::is_empty(SharedOffice::ClientTemp())) << "a temporary file was left";
    // The application is still usable and has nothing left to show.
    EXPECT_EQ(Attempt([&] { application->SetVisible(msoTrue); }).number, 0);
    EXPECT_NE(Attempt([&] { presentation->ApplyTemplate(GetParam().path()); }).number, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadTemplates,
    ::testing::Values(
        BadTemplate{"MissingFile",
                    [] {
                        return CataloguePath(SharedOffice::Templates().odfTemplate.parent_path() /
                                             "Missing.otp");
                    },
                    53},
        BadTemplate{"MissingFolder",
                    [] {
                        return CataloguePath(SharedOffice::Templates().odfTemplate.parent_path() /
                                             "Missing" / "Teal Design.otp");
                    },
                    76},
        BadTemplate{"GarbageBytes", [] { return CataloguePath(SharedOffice::Templates().garbage); },
                    440},
        BadTemplate{"TextDocument",
                    [] { return CataloguePath(SharedOffice::Templates().textDocument); }, 440}),
    [](const ::testing::TestParamInfo<BadTemplate>& info) { return info.param.name; });

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
    kill(TestOffice::ReadPid(pidFile), SIGKILL);
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
    auto application = runtime.CreateObject(Impress);
    auto presentation = application->Presentations()->Add(msoTrue);
    presentation->ApplyTemplate(CataloguePath(SharedOffice::Templates().odfTemplate));
    application->SetVisible(msoTrue);
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
        DesignSnapshot const design =
            DesignSnapshot::Of(office, dynamic_cast<UnoPresentation&>(*presentation).Document());
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
    ASSERT_GT(group, 0);
    ASSERT_EQ(kill(-group, SIGKILL), 0);

    Outcome const apply = Attempt([&] { presentation->ApplyTemplate(odf); });
    EXPECT_NE(apply.number, 0) << "a dead office cannot have applied the design";
    EXPECT_LT(apply.seconds, 20.0);
    Outcome const show = Attempt([&] { application->SetVisible(msoTrue); });
    EXPECT_NE(show.number, 0);

    // The double-click's second attempt: the launcher starts a new office on the same pipe.
    Outcome const retry = Attempt([&] {
        auto again = runtime.CreateObject(Impress);
        again->Presentations()->Add(msoTrue)->ApplyTemplate(odf);
        again->SetVisible(msoTrue);
    });
    EXPECT_EQ(retry.number, 0) << retry.description;
    EXPECT_NE(own.Group(), group);
}

// --- an office that stops answering ------------------------------------------------------

// Stops the shared office for the life of this object; it always continues it afterwards.
class PausedOffice {
public:
    explicit PausedOffice(pid_t pid) : pid_(pid) { kill(pid_, SIGSTOP); }
    ~PausedOffice() { kill(pid_, SIGCONT); }
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

} // namespace
} // namespace slidevane::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new slidevane::testing::SharedOffice);
    return RUN_ALL_TESTS();
}
