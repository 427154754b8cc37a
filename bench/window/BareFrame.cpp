// The reference for start-up: a bare Qt frameless window showing one picture, nothing else.
#include "FirstFrameReporter.h"

#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

int main(int argc, char** argv) {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    QLabel window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setPixmap(QPixmap::fromImage(QImageReader(QString::fromLocal8Bit(argv[1])).read()));
    window.setFixedSize(418, 288);
    FirstFrameReporter reporter(window);
    window.show();
    return QApplication::exec();
}
