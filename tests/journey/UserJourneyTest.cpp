// The user's journey with the installed program, in a desktop session of its own on a real X
// display, against the real office: start, browse, double-clicks with no office running, with
// the office the first one started, and with an office the user started; the purchase message;
// close; the next start, which makes the office ready ahead. Each opened presentation must show as
// a new Impress window whose design is its template's.
#include "DesignSnapshot.h"
#include "InstalledProgram.h"
#include "SharedOffice.h"
#include "UnoValues.h"
#include "UserProgram.h"
#include "UserSession.h"
#include "adapters/qt/QtWindow.h"

#include <QImage>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using slidevane::testing::DesignSnapshot;
using slidevane::testing::SharedOffice;
using namespace std::chrono_literals;

constexpr int Seconds = 1000;

::testing::Environment* const TestsOffice = ::testing::AddGlobalTestEnvironment(new SharedOffice);

class UserJourney : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbDisplay::Available()) {
            GTEST_SKIP() << "Xvfb, xdotool or ImageMagick's import is not installed";
        }
        ASSERT_TRUE(session_.Started());
    }

    // Starts the installed program in the session and waits for its window.
    void Start() {
        program_ = std::make_unique<UserProgram>(
            std::vector<std::string>{installed_.Program().string()},
            session_.Environment().Set("SLIDEVANE3_REGISTRY", installed_.RegistryFile().string()));
        QRect const window =
            session_.Display().WindowNamed(QStringLiteral("^Slidevane$"), 20 * Seconds);
        ASSERT_FALSE(window.isEmpty())
            << "no window appeared; program said: " << program_->Errors();
        origin_ = window.topLeft();
    }

    QStringList At(Control control) const {
        QPoint const centre = origin_ + layout_.Widget(control).geometry().center();
        return {QString::number(centre.x()), QString::number(centre.y())};
    }
    void Xdo(const QStringList& commands) { session_.Display().XDoTool(commands); }
    // The office's windows come up over the program's, in their own time; the user brings the
    // program's window forward before pointing at it (the display has no window manager to do
    // it on a click).
    void Move(Control control) {
        QString const window =
            session_.Display()
                .XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                          QStringLiteral("--name"), QStringLiteral("^Slidevane$")})
                .section('\n', 0, 0);
        XvfbDisplay::WaitFor(
            [&] {
                Xdo(QStringList{QStringLiteral("windowraise"), window,
                                QStringLiteral("mousemove")} +
                    At(control) + QStringList{QStringLiteral("sleep"), QStringLiteral("0.2")});
                return session_.Display()
                    .XDoTool({QStringLiteral("getmouse"), QStringLiteral("--shell")})
                    .contains(QStringLiteral("WINDOW=") + window + QLatin1Char('\n'));
            },
            10 * Seconds);
    }
    void Click(Control control) {
        Move(control);
        Xdo({QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("sleep"),
             QStringLiteral("0.3")});
    }
    void DoubleClick(Control control) {
        Move(control);
        Xdo({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    }

    // Whether `control` shows the pack's picture `name` on the screen.
    bool Shows(Control control, const QString& name) {
        QImage const picture(QString::fromStdString((installed_.SamplePack() / "UI").string()) +
                             QLatin1Char('/') + name);
        QPoint const at = origin_ + layout_.Widget(control).geometry().topLeft();
        return !picture.isNull() &&
               XvfbDisplay::WaitFor(
                   [&] {
                       QImage const screen = session_.Display().Screenshot();
                       for (int y = 0; y < picture.height(); y += 3) {
                           for (int x = 0; x < picture.width(); x += 3) {
                               if (screen.pixel(at + QPoint(x, y)) != picture.pixel(x, y)) {
                                   return false;
                               }
                           }
                       }
                       return true;
                   },
                   10 * Seconds);
    }

    int Windows(const char* title) {
        QString const found =
            session_.Display().XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--name"), QString::fromLatin1(title)});
        return static_cast<int>(found.split('\n', Qt::SkipEmptyParts).size());
    }

    // The office's shown presentations, newest last as the office lists them.
    std::vector<Reference<css::frame::XModel>> Shown(OfficeConnection& office) {
        std::vector<Reference<css::frame::XModel>> shown;
        office.Call("documents", [&] {
            Reference<css::container::XEnumeration> const all =
                office.Desktop()->getComponents()->createEnumeration();
            while (all->hasMoreElements()) {
                Reference<css::frame::XModel> const document(all->nextElement(), UNO_QUERY);
                Reference<css::frame::XController> const controller =
                    document.is() ? document->getCurrentController() : nullptr;
                if (controller.is() &&
                    Reference<css::awt::XWindow2>(controller->getFrame()->getContainerWindow(),
                                                  UNO_QUERY_THROW)
                        ->isVisible()) {
                    shown.push_back(document);
                }
            }
        });
        return shown;
    }

    // The template's design as the office makes it, in the tests' own office: the user's office
    // holds only what the program opened.
    DesignSnapshot TemplateDesign(const std::string& name) {
        OfficeConnection& office = SharedOffice::Office().Connection();
        Reference<css::frame::XModel> own;
        office.Call("load", [&] {
            Reference<css::frame::XComponentLoader> const loader(office.Desktop(), UNO_QUERY_THROW);
            own.set(loader->loadComponentFromURL(
                        uno::FileUrl(installed_.Template(name).string()), "_blank", 0,
                        uno::Properties({{"Hidden", css::uno::Any(true)},
                                         {"AsTemplate", css::uno::Any(true)},
                                         {"ReadOnly", css::uno::Any(true)}})),
                    UNO_QUERY_THROW);
        });
        DesignSnapshot const design = DesignSnapshot::Of(office, own);
        office.Call("close",
                    [&] { Reference<css::util::XCloseable>(own, UNO_QUERY_THROW)->close(true); });
        return design;
    }

    // Waits for the `count`th Impress window of the office, then checks that the presentation
    // that came with it has `templateName`'s design on one title slide.
    void ExpectOpened(int count, const std::string& templateName) {
        SCOPED_TRACE(templateName);
        XvfbDisplay::WaitFor(
            [&] { return Windows("LibreOffice Impress") >= count || !program_->Running(); },
            90 * Seconds);
        ASSERT_TRUE(program_->Running()) << "the program ended: " << program_->Wait(0s)->Describe()
                                         << "; it said " << program_->Errors();
        ASSERT_GE(Windows("LibreOffice Impress"), count) << "no new Impress window";
        EXPECT_EQ(Windows("LibreOffice Impress"), count);
        // Proxies of one office's objects die with the link that brought them: the test keeps
        // its link while it holds presentations of that office.
        if (!office_ || office_->Lost()) {
            office_ = session_.Office();
            seen_.clear();
        }
        ASSERT_TRUE(office_) << "the office is not listening on the program's pipe";
        OfficeConnection& office = *office_;
        std::vector<Reference<css::frame::XModel>> const shown = Shown(office);
        ASSERT_EQ(static_cast<int>(shown.size()), count);
        Reference<css::frame::XModel> opened;
        for (const Reference<css::frame::XModel>& document : shown) {
            if (std::find(seen_.begin(), seen_.end(), document) == seen_.end()) {
                opened = document;
            }
        }
        ASSERT_TRUE(opened.is()) << "every shown presentation was there before";
        seen_ = shown;
        DesignSnapshot const made = DesignSnapshot::Of(office, opened);
        DesignSnapshot const design = TemplateDesign(templateName);
        EXPECT_EQ(made.slideCount, 1);
        EXPECT_TRUE(made.TemplateWithTitleSlide(design)) << "made:\n"
                                                         << made << "\ntemplate:\n"
                                                         << design;
    }

    std::vector<pid_t> Offices() const { return session_.Offices(); }

    InstalledProgram installed_{SLIDEVANE3_BUILD_TREE};
    UserSession session_;
    QtWindow layout_; // the designed places of the controls
    std::unique_ptr<UserProgram> program_;
    QPoint origin_;
    std::shared_ptr<OfficeConnection> office_;
    std::vector<Reference<css::frame::XModel>> seen_;
};

TEST_F(UserJourney, DoubleClicksOpenTemplatesWhetherOrNotTheOfficeRunsAndWhoeverStartedIt) {
    Start();
    // Browse: the current category, a hover on the strip, a thumbnail shown large.
    EXPECT_TRUE(Shows(Control::Button3, QStringLiteral("b_Announcement-c.gif")));
    Move(Control::Button1);
    EXPECT_TRUE(Shows(Control::Button1, QStringLiteral("b_Celebration-b.gif")));
    Move(Control::Dis3BackGnd);
    EXPECT_TRUE(Shows(Control::MainDisBackGnd, QStringLiteral("p_Announcement-c6.gif")));

    // No office runs: the double-click starts the user's own.
    ASSERT_TRUE(Offices().empty());
    DoubleClick(Control::Dis1BackGnd);
    ASSERT_NO_FATAL_FAILURE(ExpectOpened(1, "announcement1.otp"));
    std::vector<pid_t> const started = Offices();
    EXPECT_EQ(started.size(), 1u);

    // The office runs: the next double-click reaches it, a PowerPoint 97 template this time.
    Click(Control::Button2);
    DoubleClick(Control::Dis1BackGnd);
    ASSERT_NO_FATAL_FAILURE(ExpectOpened(2, "financialreview1.pot"));
    EXPECT_EQ(Offices(), started) << "a second office was started";

    // The user quits the office and starts it again on their own, with its start centre.
    seen_.clear();
    office_.reset();
    session_.EndOffice();
    ASSERT_TRUE(Offices().empty());
    UserProgram own({"soffice", "--norestore"}, session_.Environment());
    ASSERT_TRUE(XvfbDisplay::WaitFor([&] { return Windows("^LibreOffice$") == 1; }, 90 * Seconds))
        << "the user's own office did not come up: " << own.Errors();
    std::vector<pid_t> const users = Offices();
    DoubleClick(Control::Dis2BackGnd);
    ASSERT_NO_FATAL_FAILURE(ExpectOpened(1, "financialreview2.otp"));
    EXPECT_EQ(Offices(), users) << "the program started an office beside the user's";

    // A template the pack does not have: the purchase message, and nothing reaches the office.
    Click(Control::Button3);
    DoubleClick(Control::Dis2BackGnd);
    ASSERT_TRUE(XvfbDisplay::WaitFor([&] { return Windows("^Slidevane3$") == 1; }, 20 * Seconds))
        << "no purchase message";
    Xdo({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(XvfbDisplay::WaitFor([&] { return Windows("^Slidevane3$") == 0; }, 10 * Seconds));
    EXPECT_TRUE(program_->Running()) << program_->Errors();
    EXPECT_EQ(Windows("LibreOffice Impress"), 1);

    // Close: the program ends; the office keeps the user's presentation.
    Click(Control::Picture9);
    std::optional<UserProgram::Outcome> const ended = program_->Wait(20s);
    ASSERT_TRUE(ended) << "the close glyph did not end the program";
    EXPECT_TRUE(ended->Succeeded()) << ended->Describe() << "; " << program_->Errors();
    EXPECT_EQ(Offices(), users);
    EXPECT_EQ(Windows("LibreOffice Impress"), 1);

    // Next time, with the profile made and no office running, the installed program starts the
    // office ahead, and its installed keeper ends it with the program.
    seen_.clear();
    office_.reset();
    session_.EndOffice();
    ASSERT_TRUE(Offices().empty());
    Start();
    EXPECT_TRUE(XvfbDisplay::WaitFor([&] { return Offices().size() == 1; }, 60 * Seconds))
        << "no office was started ahead";
    EXPECT_TRUE(XvfbDisplay::WaitFor([&] { return session_.Office() != nullptr; }, 60 * Seconds));
    Click(Control::Picture9);
    ASSERT_TRUE(program_->Wait(20s));
    EXPECT_TRUE(XvfbDisplay::WaitFor([&] { return Offices().empty(); }, 5 * Seconds))
        << "the office started ahead outlived the program";
}

} // namespace
} // namespace slidevane::test
