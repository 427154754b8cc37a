// The window on its own: geometry, stored pictures, pointer shapes, picture loading and its
// errors, minimize and unload.
#include "adapters/qt/QtWindow.h"

#include "GifFile.h"
#include "PixelProbe.h"
#include "picture/GifStructure.h"
#include "platform/LayoutTable.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

// Read by Qt's own GIF reader: what the window shows must not depend on the decoder it uses.
QImage Stored(const QString& name) {
    return QImageReader(QStringLiteral(":/slidevane3/") + name).read();
}

QString StoredName(Control control) {
    return QString::fromLatin1(ControlName(control).data()) + QStringLiteral(".gif");
}

// The error a load raised, or 0.
int LoadError(QtWindow& window, Control control, const std::string& path,
              std::string* description = nullptr) {
    try {
        window.LoadPicture(control, path);
    } catch (const RuntimeError& error) {
        if (description != nullptr) {
            *description = error.Description();
        }
        return error.Number();
    }
    return 0;
}

TEST(QtWindowGeometry,
     AtNinetySixDpiTheClientAreaIs418By288AndEveryControlSitsAtItsDesignedPixels) {
    QtWindow window;
    ASSERT_EQ(window.logicalDpiY(), 96) << "the offscreen screen runs at 96 dpi unless configured";
    EXPECT_FLOAT_EQ(window.TwipsPerPixel(), 15.0f);
    EXPECT_FLOAT_EQ(window.ScaleHeight(), 288.0f);
    EXPECT_FLOAT_EQ(window.FormWidth(), 6270.0f);
    EXPECT_FLOAT_EQ(window.FormHeight(), 4320.0f);
    window.show();
    EXPECT_EQ(window.size(), QSize(418, 288));
    EXPECT_EQ(window.geometry().size(), window.frameGeometry().size()) << "no frame of its own";
    for (Control control : AllControls) {
        ControlLayout const& layout = LayoutTable::Of(control);
        QRect const expected(qRound(layout.left / 15), qRound(layout.top / 15),
                             qRound(layout.width / 15), qRound(layout.height / 15));
        EXPECT_EQ(window.Widget(control).geometry(), expected) << ControlName(control);
    }
    // The fractional designed values stay fractional; only the placing rounds.
    EXPECT_NEAR(window.ControlProperty(Control::Button8, Property::Top), 187.333f, 0.001f);
    EXPECT_EQ(window.Widget(Control::Button8).y(), 187);
    EXPECT_NEAR(window.ControlProperty(Control::Button9, Property::Top), 206.667f, 0.001f);
    EXPECT_EQ(window.Widget(Control::Button9).y(), 207);
}

TEST(QtWindowGeometry, SettingPlacesAndSizesMovesTheControlsAndResizesTheWindow) {
    QtWindow window;
    window.show();
    window.SetControlProperty(Control::Button1, Property::Left, 20.4f);
    window.SetControlProperty(Control::Button1, Property::Top, 43.6f);
    window.SetControlProperty(Control::Button1, Property::Width, 70.5f);
    EXPECT_FLOAT_EQ(window.ControlProperty(Control::Button1, Property::Left), 20.4f);
    EXPECT_EQ(window.Widget(Control::Button1).geometry(), QRect(20, 44, 71, 17));
    window.SetFormWidth(5016.0f);
    window.SetFormHeight(3456.0f);
    EXPECT_FLOAT_EQ(window.FormWidth(), 5016.0f);
    EXPECT_EQ(window.size(), QSize(334, 230));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the user cannot resize it";
}

TEST(QtWindowLook, FramelessWithItsCaptionIconAndNoKeyboardFocus) {
    QtWindow window;
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Slidevane"));
    window.show();
    QCoreApplication::processEvents();
    QIcon const icon = window.windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    EXPECT_EQ(window.focusPolicy(), Qt::NoFocus);
    for (Control control : AllControls) {
        EXPECT_EQ(window.Widget(control).focusPolicy(), Qt::NoFocus) << ControlName(control);
    }
}

TEST(QtWindowLook, EveryControlAndTheBackgroundShowTheirStoredPicturesFromTheStart) {
    QtWindow window;
    window.show();
    PixelProbe const probe(window);
    QImage const background = Stored(QStringLiteral("background.gif"));
    ASSERT_EQ(background.size(), QSize(419, 290));
    // Between the strip and the thumbnails, and below the main preview.
    for (QPoint at : {QPoint(108, 150), QPoint(300, 240), QPoint(2, 2)}) {
        EXPECT_EQ(probe.At(at).rgb(), background.pixel(at)) << at.x() << "," << at.y();
    }
    for (Control control : AllControls) {
        QImage const stored = Stored(StoredName(control));
        ASSERT_FALSE(stored.isNull()) << ControlName(control);
        EXPECT_EQ(stored.size(), window.Widget(control).size()) << ControlName(control);
        EXPECT_TRUE(probe.Shows(window.Widget(control).geometry(), stored)) << ControlName(control);
        EXPECT_TRUE(window.LoadedFile(control).isEmpty());
    }
}

TEST(QtWindowLook, TheHandPointerShowsOverTheWebButtonOnly) {
    QtWindow window;
    QCursor const hand = window.Widget(Control::WWWBtn).cursor();
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(12, 1));
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
    for (Control control : AllControls) {
        if (control != Control::WWWBtn) {
            EXPECT_FALSE(window.Widget(control).testAttribute(Qt::WA_SetCursor))
                << ControlName(control);
        }
    }
    EXPECT_FALSE(window.testAttribute(Qt::WA_SetCursor));
}

class QtWindowPictures : public testing::Test {
protected:
    QtWindowPictures() {
        QDir(folder.path()).mkpath(QStringLiteral("Pack/UI"));
        GifFile::WriteSolid(Ui(QStringLiteral("green.gif")), 88, 17, QColor(0, 200, 0));
        window.show();
    }

    QString Ui(const QString& name) const {
        return folder.filePath(QStringLiteral("Pack/UI/")) + name;
    }
    // The path as the catalogue builds it: backslashes below the native root.
    std::string Catalog(const QString& tail) const {
        return folder.path().toStdString() + "\\" + tail.toStdString();
    }
    QColor Shown(Control control) {
        return PixelProbe(window).At(window.Widget(control).geometry().center());
    }

    QTemporaryDir folder;
    QtWindow window;
};

TEST_F(QtWindowPictures, ALoadedPictureReplacesTheStoredOneInThatControlOnly) {
    QColor const before = Shown(Control::Button2);
    window.LoadPicture(Control::Button1, Catalog(QStringLiteral("Pack\\UI\\green.gif")));
    EXPECT_EQ(Shown(Control::Button1), QColor(0, 200, 0));
    EXPECT_EQ(Shown(Control::Button2), before);
    EXPECT_EQ(window.LoadedFile(Control::Button1), Ui(QStringLiteral("green.gif")));
}

TEST_F(QtWindowPictures, CatalogueFormsOfThePathResolve) {
    // Any case of the components, and the catalogue's NUL ending the text.
    window.LoadPicture(Control::Button1,
                       Catalog(QStringLiteral("PACK\\ui\\Green.GIF")) + std::string(1, '\0') + "x");
    EXPECT_EQ(Shown(Control::Button1), QColor(0, 200, 0));
}

TEST_F(QtWindowPictures, EveryLoadReadsTheFileAfreshEvenWhenItLooksUnchanged) {
    QString const path = Ui(QStringLiteral("green.gif"));
    window.LoadPicture(Control::Button1, Catalog(QStringLiteral("Pack\\UI\\green.gif")));
    QDateTime const stamp = QFileInfo(path).lastModified();
    qint64 const size = QFileInfo(path).size();
    GifFile::WriteSolid(path, 88, 17, QColor(200, 0, 0));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(QFileInfo(path).size(), size) << "same size and time: a path-keyed cache goes stale";
    window.LoadPicture(Control::Button1, Catalog(QStringLiteral("Pack\\UI\\green.gif")));
    EXPECT_EQ(Shown(Control::Button1), QColor(200, 0, 0));
}

TEST_F(QtWindowPictures, AMissingFileIs53AndAMissingFolderIs76NamingThePath) {
    std::string description;
    std::string const missingFile = Catalog(QStringLiteral("Pack\\UI\\none.gif"));
    EXPECT_EQ(LoadError(window, Control::Button1, missingFile + '\0', &description), 53);
    EXPECT_EQ(description, "File not found: " + missingFile);
    EXPECT_EQ(LoadError(window, Control::Button1, Catalog(QStringLiteral("Pack\\NoUI\\green.gif"))),
              76);
    EXPECT_EQ(LoadError(window, Control::Button1, Catalog(QStringLiteral("Nope\\UI\\green.gif"))),
              76);
}

TEST_F(QtWindowPictures, FilesThatAreNoSanePictureAre481AndTheControlKeepsItsPicture) {
    window.LoadPicture(Control::Button1, Catalog(QStringLiteral("Pack\\UI\\green.gif")));
    {
        QFile text(Ui(QStringLiteral("text.gif")));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("this is not a picture\n");
        QFile empty(Ui(QStringLiteral("empty.gif")));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    GifFile::WriteClaimingSize(Ui(QStringLiteral("huge.gif")), 65535, 65535);
    // Small enough in bytes for any allocation limit, too wide for any picture of the window.
    GifFile::WriteClaimingSize(Ui(QStringLiteral("wide.gif")), GifStructure::MaxSide + 1, 4);
    for (const char* name : {"text.gif", "empty.gif", "huge.gif", "wide.gif"}) {
        std::string description;
        std::string const path = Catalog(QStringLiteral("Pack\\UI\\") + QLatin1String(name));
        EXPECT_EQ(LoadError(window, Control::Button1, path, &description), 481) << name;
        EXPECT_EQ(description, "Invalid picture: " + path);
    }
    EXPECT_EQ(Shown(Control::Button1), QColor(0, 200, 0));
    EXPECT_EQ(window.LoadedFile(Control::Button1), Ui(QStringLiteral("green.gif")));
}

TEST_F(QtWindowPictures, APictureIsDrawnOneToOneFromTheTopLeftAndClippedToTheControl) {
    // Larger than the strip button: the excess is cut off, nothing is scaled.
    GifFile::WriteSolid(Ui(QStringLiteral("big.gif")), 300, 100, QColor(10, 20, 250));
    GifFile::WriteSolid(Ui(QStringLiteral("small.gif")), 10, 5, QColor(250, 20, 10));
    QColor const neighbour = Shown(Control::Button2);
    window.LoadPicture(Control::Button1, Catalog(QStringLiteral("Pack\\UI\\big.gif")));
    window.LoadPicture(Control::Button3, Catalog(QStringLiteral("Pack\\UI\\small.gif")));
    PixelProbe const probe(window);
    QRect const button1 = window.Widget(Control::Button1).geometry();
    EXPECT_TRUE(probe.Uniform(button1, QColor(10, 20, 250)));
    EXPECT_EQ(probe.At(button1.bottomRight() + QPoint(1, 1)).rgb(),
              Stored(QStringLiteral("background.gif")).pixel(button1.bottomRight() + QPoint(1, 1)));
    EXPECT_EQ(Shown(Control::Button2), neighbour);
    QRect const button3 = window.Widget(Control::Button3).geometry();
    EXPECT_TRUE(probe.Uniform(QRect(button3.topLeft(), QSize(10, 5)), QColor(250, 20, 10)));
}

TEST_F(QtWindowPictures, TransparentPartsOfAPictureShowTheBackgroundBeneath) {
    QImage const background = Stored(QStringLiteral("background.gif"));
    GifFile::WriteHalfTransparent(Ui(QStringLiteral("half.gif")), 158, 121, QColor(0, 0, 250));
    window.LoadPicture(Control::MainDisBackGnd, Catalog(QStringLiteral("Pack\\UI\\half.gif")));
    QRect const pane = window.Widget(Control::MainDisBackGnd).geometry();
    PixelProbe const probe(window);
    EXPECT_TRUE(probe.Uniform(QRect(pane.topLeft(), QSize(79, 121)), QColor(0, 0, 250)));
    for (QPoint at : {QPoint(100, 10), QPoint(157, 120), QPoint(120, 60)}) {
        QPoint const onWindow = pane.topLeft() + at;
        EXPECT_EQ(probe.At(onWindow).rgb(), background.pixel(onWindow)) << at.x() << "," << at.y();
    }
}

TEST(QtWindowChrome, MinimizeAndUnload) {
    QtWindow window;
    window.show();
    window.Minimize();
    EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMinimized));
    window.showNormal();
    window.Unload();
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace slidevane::test
