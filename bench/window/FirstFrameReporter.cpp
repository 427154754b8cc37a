#include "FirstFrameReporter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdio>

long FirstFrameReporter::PeakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (QByteArray const& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

FirstFrameReporter::FirstFrameReporter(QObject& window) : QObject(&window) {
    window.installEventFilter(this);
}

bool FirstFrameReporter::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        // Queued behind the paint, so the frame has been drawn and flushed when it runs.
        QTimer::singleShot(0, [] {
            auto const now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("frame_ns=%lld peak_kib=%ld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                        PeakResidentKiB());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    return false;
}
