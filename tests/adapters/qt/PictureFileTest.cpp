// The window's picture loader draws every picture the project ships exactly as Qt's own GIF
// reader does (the loader decodes files itself, so that a control's corner costs only itself),
// whole or cut to a control's size, and a transparent picture keeps its transparency.
#include "adapters/qt/PictureFile.h"

#include "GifFile.h"
#include "adapters/posix/NativePath.h"
#include "adapters/qt/DecodedPictures.h"

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
    NativePath const paths = NativePath::fromEnvironment();
    PictureFile const file = PictureFile::Open(paths, path.toStdString());
    QImage const expected = AsQtReadsIt(path);
    ASSERT_FALSE(expected.isNull());
    DecodedPictures decoded;
    EXPECT_EQ(file.Decode(decoded, QSize(5000, 5000)), expected);
    for (QSize const shown : {QSize(37, 11), QSize(1, 1), QSize(expected.width(), 3)}) {
        QImage const corner = file.Decode(decoded, shown);
        EXPECT_EQ(corner.size(), shown.boundedTo(expected.size()));
        EXPECT_EQ(corner, expected.copy(QRect(QPoint(0, 0), corner.size())));
    }
}

TEST(PictureFile, EveryShippedPictureIsDrawnAsQtsReaderDrawsIt) {
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

TEST(PictureFile, ATransparentPictureIsDrawnAsQtsReaderDrawsIt) {
    QTemporaryDir scratch;
    QString const path = scratch.filePath(QStringLiteral("half.gif"));
    GifFile::WriteHalfTransparent(path, 30, 7, QColor(10, 200, 30));
    ExpectDrawnAsQtDrawsIt(path);
    DecodedPictures decoded;
    QImage const picture = PictureFile::Open(NativePath::fromEnvironment(), path.toStdString())
                               .Decode(decoded, {30, 7});
    EXPECT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(picture.pixelColor(29, 6).alpha(), 0);
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(10, 200, 30));
}

} // namespace
} // namespace slidevane::test
