// The office started ahead while the user browses, in a session of its own whose user has run
// the office before: the first double-click finds it, a double-click during its start waits for
// it, and it ends with the program, however the program ends, unless it holds a document. An
// office the user started is never touched; with the option off nothing starts ahead.
#include "UserProgram.h"
#include "UserSession.h"
#include "adapters/qt/QtWindow.h"

#include <QRect>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace slidevane::test {
namespace {

using namespace std::chrono_literals;
constexpr int Seconds = 1000;

class OfficeAhead : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbDisplay::Available()) {
            GTEST_SKIP() << "Xvfb, xdotool or ImageMagick's import is not installed";
        }
        ASSERT_TRUE(session_.Started());
        session_.MakeOfficeProfile();
    }

    // Starts a run of the program; its window's place.
    std::unique_ptr<UserProgram> Run(const std::vector<std::string>& arguments = {},
                                     bool officeAhead = true) {
        std::vector<std::string> line{SLIDEVANE3_PROGRAM};
        line.insert(line.end(), arguments.begin(), arguments.end());
        UserEnvironment environment =
            session_.Environment().Set("SLIDEVANE3_REGISTRY", SLIDEVANE3_SAMPLE_REGISTRY);
        if (!officeAhead) {
            environment.Set("SLIDEVANE3_OFFICE_AHEAD", "0");
        }
        auto program = std::make_unique<UserProgram>(line, environment);
        QRect const window =
            session_.Display().WindowNamed(QStringLiteral("^Slidevane$"), 20 * Seconds);
        EXPECT_FALSE(window.isEmpty()) << program->Errors();
        origin_ = window.topLeft();
        return program;
    }

    void DoubleClick(Control control) {
        QPoint const at = origin_ + layout_.Widget(control).geometry().center();
        Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             QStringLiteral("^Slidevane$"), QStringLiteral("windowraise"),
             QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("sleep"), QStringLiteral("0.2"), QStringLiteral("click"),
             QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
             QStringLiteral("80"), QStringLiteral("1")});
    }
    // Clicks the close glyph until the program ends: the office raises a presentation's window
    // once it is filled, and a click that comes just then lands on that window instead.
    std::optional<UserProgram::Outcome> Close(UserProgram& program) {
        QPoint const at = origin_ + layout_.Widget(Control::Picture9).geometry().center();
        for (int attempt = 0; attempt < 3; ++attempt) {
            Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), QStringLiteral("^Slidevane$"),
                 QStringLiteral("windowraise"), QStringLiteral("mousemove"),
                 QString::number(at.x()), QString::number(at.y()), QStringLiteral("sleep"),
                 QStringLiteral("0.2"), QStringLiteral("click"), QStringLiteral("1")});
            if (auto ended = program.Wait(7s)) {
                return ended;
            }
        }
        return std::nullopt;
    }
    void Xdo(const QStringList& commands) { session_.Display().XDoTool(commands); }

    int ImpressWindows() {
        return static_cast<int>(
            session_.Display()
                .XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                          QStringLiteral("--name"), QStringLiteral("LibreOffice Impress")})
                .split('\n', Qt::SkipEmptyParts)
                .size());
    }
    bool OfficeAnswers(int milliseconds) {
        return XvfbDisplay::WaitFor([&] { return session_.Office() != nullptr; }, milliseconds);
    }
    bool NoOffice(int milliseconds) {
        return XvfbDisplay::WaitFor([&] { return session_.Offices().empty(); }, milliseconds);
    }
    // The office's frames: every document's, and any the program left behind while it readied
    // the office.
    int Frames() {
        std::shared_ptr<OfficeConnection> const office = session_.Office();
        int count = -1;
        if (office) {
            office->Call("frames", [&] {
                count = css::uno::Reference<css::frame::XFramesSupplier>(office->Desktop(),
                                                                         css::uno::UNO_QUERY_THROW)
                            ->getFrames()
                            ->getCount();
            });
        }
        return count;
    }
    int Documents() {
        std::shared_ptr<OfficeConnection> const office = session_.Office();
        int count = 0;
        if (office) {
            office->Call("documents", [&] {
                auto const all = office->Desktop()->getComponents()->createEnumeration();
                for (; all->hasMoreElements(); all->nextElement()) {
                    ++count;
                }
            });
        }
        return count;
    }

    UserSession session_;
    QtWindow layout_; // the designed places of the controls
    QPoint origin_;
};

TEST_F(OfficeAhead, TheFirstDoubleClickFindsItAndTheOfficeStaysWithThePresentation) {
    auto program = Run();
    ASSERT_TRUE(OfficeAnswers(60 * Seconds)) << "no office was started ahead";
    std::vector<pid_t> const office = session_.Offices();
    ASSERT_EQ(office.size(), 1u);
    std::this_thread::sleep_for(1s); // browsing
    DoubleClick(Control::Dis1BackGnd);
    ASSERT_TRUE(XvfbDisplay::WaitFor([&] { return ImpressWindows() == 1; }, 60 * Seconds))
        << program->Errors();
    EXPECT_EQ(session_.Offices(), office) << "the double-click started another office";
    // The double-click waited for the office to be readied: nothing of that is left in it.
    EXPECT_EQ(Documents(), 1);
    EXPECT_EQ(Frames(), 1);

    std::optional<UserProgram::Outcome> const ended = Close(*program);
    ASSERT_TRUE(ended && ended->Succeeded()) << program->Errors();
    std::this_thread::sleep_for(5s);
    EXPECT_EQ(session_.Offices(), office) << "the office went with the presentation";
    EXPECT_EQ(ImpressWindows(), 1);
}

TEST_F(OfficeAhead, ADoubleClickDuringTheStartWaitsForItAndTwoRunsStartOneOffice) {
    auto first = Run();
    auto second = Run();               // both find no office; one starts it
    DoubleClick(Control::Dis1BackGnd); // the second run's window is the one on top
    ASSERT_TRUE(XvfbDisplay::WaitFor([&] { return ImpressWindows() == 1; }, 60 * Seconds))
        << first->Errors() << second->Errors();
    EXPECT_EQ(session_.Offices().size(), 1u);
    EXPECT_TRUE(first->Running() && second->Running());
}

// How a run ends, for the office it started ahead and left without a document.
struct Ending {
    const char* name;
    int signal; // 0: the close glyph; -1: the desktop's close
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

class OfficeAheadEnds : public OfficeAhead, public ::testing::WithParamInterface<Ending> {};

TEST_P(OfficeAheadEnds, WithTheProgramWhenItHoldsNoDocument) {
    auto program = Run();
    ASSERT_TRUE(OfficeAnswers(60 * Seconds)) << "no office was started ahead";
    if (GetParam().signal == 0) {
        Close(*program);
    } else if (GetParam().signal < 0) {
        QString const window = session_.Display()
                                   .XDoTool({QStringLiteral("search"), QStringLiteral("--name"),
                                             QStringLiteral("^Slidevane$")})
                                   .section('\n', 0, 0);
        ASSERT_TRUE(session_.Display().CloseWindow(window));
    } else {
        program->Signal(GetParam().signal);
    }
    ASSERT_TRUE(program->Wait(20s)) << "the program did not end";
    EXPECT_TRUE(NoOffice(GetParam().signal == SIGKILL ? 10 * Seconds : 5 * Seconds))
        << "the office started ahead is still there";
}

INSTANTIATE_TEST_SUITE_P(HoweverItEnds, OfficeAheadEnds,
                         ::testing::Values(Ending{"CloseGlyph", 0}, Ending{"DesktopClose", -1},
                                           Ending{"Terminated", SIGTERM},
                                           Ending{"Interrupted", SIGINT}, Ending{"HungUp", SIGHUP},
                                           Ending{"Killed", SIGKILL}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OfficeAhead, WhatIsNotTheProgramsOwnStays) {
    // A document the user opened in the office started ahead keeps it.
    {
        auto program = Run();
        ASSERT_TRUE(OfficeAnswers(60 * Seconds));
        UserProgram::Result const opened = UserProgram::Run(
            {"soffice", "-n", std::string(SLIDEVANE3_SAMPLE_PACK) + "/TEMPLATE/announcement1.otp"},
            session_.Environment(), 60s);
        ASSERT_TRUE(opened.outcome.Succeeded()) << opened.errors;
        ASSERT_TRUE(XvfbDisplay::WaitFor([&] { return ImpressWindows() == 1; }, 60 * Seconds));
        program->Signal(SIGKILL);
        ASSERT_TRUE(program->Wait(10s));
        std::this_thread::sleep_for(5s);
        EXPECT_EQ(session_.Offices().size(), 1u) << "the user's document went with the office";
        EXPECT_EQ(Documents(), 1);
    }
    // An office the user runs already is not started again, and outlives the program.
    std::vector<pid_t> const users = session_.Offices();
    auto program = Run();
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(session_.Offices(), users);
    ASSERT_TRUE(Close(*program));
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(session_.Offices(), users);
    EXPECT_EQ(Documents(), 1);
}

TEST_F(OfficeAhead, NothingStartsAheadWhenTurnedOff) {
    for (bool const byOption : {false, true}) {
        SCOPED_TRACE(byOption ? "--no-office-ahead" : "SLIDEVANE3_OFFICE_AHEAD=0");
        auto program = byOption ? Run({"--no-office-ahead"}) : Run({}, false);
        std::this_thread::sleep_for(4s);
        EXPECT_TRUE(session_.Offices().empty()) << "an office was started ahead";
        if (byOption) {
            // The first double-click starts it, as it always did; it stays with the program.
            DoubleClick(Control::Dis1BackGnd);
            EXPECT_TRUE(XvfbDisplay::WaitFor([&] { return ImpressWindows() == 1; }, 60 * Seconds))
                << program->Errors();
        }
        ASSERT_TRUE(Close(*program));
    }
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(session_.Offices().size(), 1u) << "an office started by a double-click went";
}

} // namespace
} // namespace slidevane::test
