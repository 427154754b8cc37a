// The window's picture path (the posix adapter's files, the core's loader and decoder, the image
// Qt paints) draws every picture the project ships exactly as Qt's own GIF reader does, whole or
// cut to a control's size, and a transparent picture keeps its transparency.
#include "adapters/qt/QtPicture.h"

#include "GifFile.h"
#include "adapters/posix/PosixPictureFiles.h"
#include "picture/PictureLoader.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

QImage AsQtReadsIt(const QString& path) {
    QImage const image = QImageReader(path, "gif").read();
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

void ExpectDrawnAsQtDrawsIt(const QString& path) {
    SCOPED_TRACE(path.toStdString());
    QImage const expected = AsQtReadsIt(path);
    ASSERT_FALSE(expected.isNull());
    PosixPictureFiles files;
    PictureLoader loader(files);
    EXPECT_EQ(QtPicture::Image(loader.Load(path.toStdString(), 5000, 5000)), expected);
    for (QSize const shown : {QSize(37, 11), QSize(1, 1), QSize(expected.width(), 3)}) {
        QImage const corner =
            QtPicture::Image(loader.Load(path.toStdString(), shown.width(), shown.height()));
        EXPECT_EQ(corner.size(), shown.boundedTo(expected.size()));
        EXPECT_EQ(corner, expected.copy(QRect(QPoint(0, 0), corner.size())));
    }
}

TEST(QtPicture, EveryShippedPictureIsDrawnAsQtsReaderDrawsIt) {
    int pictures = 0;
    for (QString const& folder :
         {QStringLiteral(SLIDEVANE3_SAMPLE_UI), QStringLiteral(SLIDEVANE3_ASSETS)}) {
        QDir const dir(folder);
        for (QString const& name : dir.entryList({QStringLiteral("*.gif")}, QDir::Files)) {
            ExpectDrawnAsQtDrawsIt(dir.filePath(name));
            ++pictures;
        }
    }
    EXPECT_GT(pictures, 100);
}

TEST(QtPicture, StoredPicturesAreTheProgramsResourcesAsQtsReaderDrawsThem) {
    for (const char* name : {"background.gif", "Button1.gif", "WWWBtn.gif", "Picture9.gif"}) {
        QString const resource = QStringLiteral(":/slidevane3/") + QLatin1String(name);
        EXPECT_EQ(QtPicture::Image(QtPicture::Stored(resource)), AsQtReadsIt(resource)) << name;
    }
    EXPECT_EQ(QtPicture::Stored(QStringLiteral(":/slidevane3/absent.gif")), nullptr);
}

TEST(QtPicture, ATransparentPictureIsDrawnAsQtsReaderDrawsIt) {
    QTemporaryDir scratch;
    QString const path = scratch.filePath(QStringLiteral("half.gif"));
    GifFile::WriteHalfTransparent(path, 30, 7, QColor(10, 200, 30));
    ExpectDrawnAsQtDrawsIt(path);
    PosixPictureFiles files;
    QImage const picture = QtPicture::Image(PictureLoader(files).Load(path.toStdString(), 30, 7));
    EXPECT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(picture.pixelColor(29, 6).alpha(), 0);
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(10, 200, 30));
}

TEST(QtPicture, TheImageKeepsItsPictureAlive) {
    QImage image;
    {
        SharedPicture picture = QtPicture::Stored(QStringLiteral(":/slidevane3/Button1.gif"));
        ASSERT_NE(picture, nullptr);
        image = QtPicture::Image(picture);
        EXPECT_EQ(image.constBits(), reinterpret_cast<const uchar*>(picture->pixels.data()))
            << "no copy of the pixels";
    }
    EXPECT_EQ(image, AsQtReadsIt(QStringLiteral(":/slidevane3/Button1.gif")));
}

} // namespace
} // namespace slidevane::test
