// How the program ends or steps aside: the two glyphs, the error report, start-up that stops, and
// the Qt dialog and shell ports on their own.
#include "BrowserUnderTest.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"
#include "UrlRecorder.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

// Runs the application's event loop as main does (closing the last window ends it) with
// `script` as its first event; returns the loop's status, 99 when it did not end by itself.
int RunEventLoop(const std::function<void()>& script) {
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, script);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    int const status = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(false);
    return status;
}

QPoint Centre(const QtWindow& window, Control control) {
    return window.Widget(control).geometry().center();
}

class Ending : public testing::Test {
protected:
    Ending() : browser(pack) {}

    FixturePack pack;
    BrowserUnderTest browser;
};

TEST_F(Ending, TheMinimizeGlyphMinimizesAndRestoringShowsTheSamePictures) {
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    QPoint const glyph = Centre(browser.window, Control::Picture10);
    pointer.MoveTo(Centre(browser.window, Control::Dis2BackGnd));
    QString const before = browser.Showing(Control::MainDisBackGnd);
    pointer.MoveTo(glyph);
    pointer.Press(glyph);
    pointer.Release(Pointer::Background);
    EXPECT_FALSE(browser.window.windowState().testFlag(Qt::WindowMinimized))
        << "released off the glyph: no click";
    pointer.Wait(1000);
    pointer.Click(glyph, Qt::RightButton);
    EXPECT_FALSE(browser.window.windowState().testFlag(Qt::WindowMinimized))
        << "only the primary button clicks";
    pointer.Wait(1000);
    pointer.MoveTo(glyph);
    pointer.Click(glyph);
    EXPECT_TRUE(browser.window.windowState().testFlag(Qt::WindowMinimized));
    browser.window.showNormal();
    EXPECT_EQ(browser.Showing(Control::MainDisBackGnd), before);
    EXPECT_TRUE(browser.window.isVisible());
}

TEST_F(Ending, TheCloseGlyphEndsTheEventLoopWithStatusZero) {
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    QPoint const glyph = Centre(browser.window, Control::Picture9);
    int const status = RunEventLoop([&] {
        // First a press that leaves the glyph before its release: that must not close.
        pointer.MoveTo(glyph);
        pointer.Press(glyph);
        pointer.MoveTo(Pointer::Background);
        pointer.Release(Pointer::Background);
        if (!browser.window.isVisible()) {
            QCoreApplication::exit(98);
            return;
        }
        // Only the primary button clicks: the others close nothing, singly or doubled.
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            pointer.Wait(1000);
            pointer.MoveTo(glyph);
            pointer.Click(glyph, button);
            pointer.Wait(1000);
            pointer.DoubleClick(glyph, button);
        }
        if (!browser.window.isVisible()) {
            QCoreApplication::exit(97);
            return;
        }
        pointer.Wait(1000);
        pointer.MoveTo(glyph);
        pointer.Click(glyph);
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(browser.window.isVisible());
    EXPECT_FALSE(browser.dialog.QuitStatus().has_value());
}

TEST_F(Ending, AnErrorWhileBrowsingIsReportedAndEndsTheProgramWithStatusOne) {
    QString const missing = FixturePack::PreviewName(1, 'c', 4);
    pack.Remove(missing);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    ModalBoxWatcher watcher;
    int const status = RunEventLoop([&] {
        pointer.MoveTo(Centre(browser.window, Control::Button2));
        pointer.Click(Centre(browser.window, Control::Button2));
        // Whatever the pointer does after the report reaches no handler.
        pointer.MoveTo(Centre(browser.window, Control::Button5));
    });
    EXPECT_EQ(status, 1);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, QStringLiteral("Slidevane3"));
    EXPECT_EQ(watcher.Seen()[0].text, QStringLiteral("Run-time error '53':\n\nFile not found: ") +
                                          pack.PackFolder() + QStringLiteral("\\UI\\") + missing);
    EXPECT_FALSE(watcher.Seen()[0].hasIcon);
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    // The handler stopped at the failing step: what it changed before stays changed.
    EXPECT_EQ(browser.form.State().CurrentIndex, 1);
    EXPECT_EQ(browser.window.LoadedFile(Control::Button5),
              pack.UiPath(FixturePack::StripName(4, 'a')))
        << "after the report no handler runs: a move over Button5 would light it";
}

TEST_F(Ending, AStartUpErrorIsReportedBeforeTheWindowIsShown) {
    pack.Remove(FixturePack::PreviewName(2, 'a', 6));
    ModalBoxWatcher watcher;
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(watcher.Seen()[0].text.startsWith(QStringLiteral("Run-time error '53':\n\n")));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
}

TEST(EndingWithoutOffice, WithoutAPresentationApplicationTheWindowIsNeverShownAndTheStatusIsZero) {
    FixturePack pack(/*officeInstalled=*/false);
    BrowserUnderTest browser(pack);
    ModalBoxWatcher watcher;
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text,
              QStringLiteral("You have no PowerPoint97 or PowerPoint2000!"));
    EXPECT_FALSE(browser.dialog.QuitStatus().has_value());
    EXPECT_FALSE(browser.window.isVisible());
    // The pane was filled before the detection spoke.
    EXPECT_FALSE(browser.window.LoadedFile(Control::MainDisBackGnd).isEmpty());
}

TEST(QtDialogPort, TheBoxHasItsCaptionTextAndAnOkButtonOnly) {
    QtWindow window;
    QtDialog dialog(window);
    ModalBoxWatcher watcher;
    dialog.MessageBox("first line\n\nsecond", "Caption");
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, QStringLiteral("Caption"));
    EXPECT_EQ(watcher.Seen()[0].text, QStringLiteral("first line\n\nsecond"));
    EXPECT_EQ(watcher.Seen()[0].buttonCount, 1);
    EXPECT_FALSE(watcher.Seen()[0].hasIcon);
}

TEST(QtDialogPort, QuitEndsTheRunningLoopWithItsStatusAndClosesTheWindow) {
    QtWindow window;
    QtDialog dialog(window);
    window.show();
    EXPECT_EQ(RunEventLoop([&] { dialog.Quit(3); }), 3);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(dialog.QuitStatus(), 3);
}

TEST(QtShellPort, OpensTheAddressThroughTheDesktopAndTellsWhetherItWorked) {
    QtShell shell;
    {
        UrlRecorder desktop(QStringLiteral("http"));
        EXPECT_EQ(shell.ShellExecuteA(nullptr, "open", "http://www.norvale.example/", nullptr,
                                      nullptr, 5),
                  QtShell::Opened);
        EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.norvale.example/"))});
        EXPECT_EQ(shell.ShellExecuteA(nullptr, "print", "http://www.norvale.example/", nullptr,
                                      nullptr, 5),
                  QtShell::NotOpened);
        EXPECT_EQ(desktop.opened.size(), 1);
    }
    // The offscreen platform has no opener of its own: the failure is reported, not thrown.
    EXPECT_EQ(
        shell.ShellExecuteA(nullptr, "open", "http://www.norvale.example/", nullptr, nullptr, 5),
        QtShell::NotOpened);
}

} // namespace
} // namespace slidevane::test
