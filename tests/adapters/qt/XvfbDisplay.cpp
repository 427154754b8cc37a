#include "XvfbDisplay.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

namespace slidevane::test {

bool XvfbDisplay::Available() {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            return false;
        }
    }
    return true;
}

XvfbDisplay::XvfbDisplay() {
    // -displayfd picks a free display and writes its number to the given descriptor (stdout);
    // -noreset keeps the server's settings when the last client leaves.
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-noreset"),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server_.waitForStarted(5000)) {
        return;
    }
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(10000)) {
        number += server_.readAllStandardOutput();
    }
    if (number.contains('\n')) {
        name_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    }
}

XvfbDisplay::~XvfbDisplay() {
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished(2000);
    }
}

QProcessEnvironment XvfbDisplay::Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), name_);
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

QString XvfbDisplay::XDoTool(const QStringList& arguments) const {
    QProcess tool;
    tool.setProcessEnvironment(Environment());
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

QImage XvfbDisplay::Screenshot() const {
    QProcess import;
    import.setProcessEnvironment(Environment());
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    import.waitForFinished(20000);
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

QRect XvfbDisplay::WindowNamed(const QString& title, int milliseconds) const {
    QString window;
    WaitFor(
        [&] {
            window = XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), title})
                         .trimmed();
            return !window.isEmpty();
        },
        milliseconds);
    if (window.isEmpty()) {
        return {};
    }
    QString const shell = XDoTool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
                                   window.section('\n', 0, 0)});
    auto value = [&](const char* key) {
        for (QString const& line : shell.split('\n')) {
            if (line.startsWith(QLatin1String(key) + QLatin1Char('='))) {
                return line.section('=', 1).toInt();
            }
        }
        return -1;
    };
    return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

bool XvfbDisplay::WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

} // namespace slidevane::test
