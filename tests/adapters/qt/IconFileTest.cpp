// The icon and pointer decoder, checked against Qt's own ICO reader on the stored files and on
// damaged copies of them.
#include "adapters/qt/IconFile.h"

#include "adapters/qt/QtWindow.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

QByteArray Resource(const char* name) {
    QtWindow registersTheResources;
    QFile file(QStringLiteral(":/slidevane3/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// Every image of the file as Qt's plugin reads it.
QList<QImage> ReadByQt(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    QList<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        images.append(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

TEST(IconFile, DecodesTheStoredIconAndPointerAsQtsReaderDoes) {
    for (const char* name : {"slidevane3.ico", "hand.cur"}) {
        QByteArray const bytes = Resource(name);
        QList<IconFile::Image> const ours = IconFile::Decode(bytes);
        QList<QImage> const qts = ReadByQt(bytes, name[0] == 'h' ? "cur" : "ico");
        ASSERT_EQ(ours.size(), qts.size()) << name;
        for (qsizetype i = 0; i < ours.size(); ++i) {
            EXPECT_EQ(ours[i].picture, qts[i]) << name << " image " << i;
        }
    }
    QList<IconFile::Image> const hand = IconFile::Decode(Resource("hand.cur"));
    ASSERT_EQ(hand.size(), 1);
    EXPECT_EQ(hand[0].picture.size(), QSize(32, 32));
    EXPECT_EQ(hand[0].hotSpot, QPoint(12, 1));
    EXPECT_EQ(qAlpha(hand[0].picture.pixel(0, 31)), 0) << "the mask makes the corners transparent";
    QList<IconFile::Image> const icon = IconFile::Decode(Resource("slidevane3.ico"));
    ASSERT_EQ(icon.size(), 2);
    EXPECT_EQ(icon[0].picture.size(), QSize(16, 16));
    EXPECT_EQ(icon[1].picture.size(), QSize(32, 32));
}

TEST(IconFile, DamagedFilesGiveNothingRatherThanReadingOutOfBounds) {
    QByteArray const good = Resource("hand.cur");
    // Every truncation, and a file that is not an icon.
    for (qsizetype length = 0; length < good.size(); length += 7) {
        EXPECT_TRUE(IconFile::Decode(good.left(length)).isEmpty()) << "cut at " << length;
    }
    EXPECT_TRUE(IconFile::Decode(QByteArray("GIF89a and something else")).isEmpty());
    // An image offset far past the end, and a bitmap claiming a vast size.
    QByteArray farOffset = good;
    farOffset[6 + 12 + 3] = '\x7f';
    EXPECT_TRUE(IconFile::Decode(farOffset).isEmpty());
    QByteArray vast = good;
    qsizetype const bitmap =
        static_cast<unsigned char>(good[6 + 12]) | static_cast<unsigned char>(good[6 + 13]) << 8;
    vast[bitmap + 7] = '\x40'; // width 0x40000000 + original
    EXPECT_TRUE(IconFile::Decode(vast).isEmpty());
}

} // namespace
} // namespace slidevane::test
