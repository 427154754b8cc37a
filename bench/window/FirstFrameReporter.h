#pragma once

#include <QObject>

// Watches a window for its first paint and, once that paint has been handled, prints the
// monotonic clock and the process's peak resident memory on standard output and ends the
// process. The parent that started the process subtracts its own start time.
class FirstFrameReporter : public QObject {
public:
    explicit FirstFrameReporter(QObject& window);

    // VmHWM of this process, KiB.
    static long PeakResidentKiB();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool seen_ = false;
};
