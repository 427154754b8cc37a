#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

// A private X server for one test: started on a free display, driven with xdotool, photographed
// with ImageMagick's import, and stopped when the object ends.
namespace slidevane::test {

class XvfbDisplay {
public:
    // Whether Xvfb and the tools that drive it are installed.
    static bool Available();

    XvfbDisplay();
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool Started() const { return !name_.isEmpty(); }
    // The calling process's environment pointed at this display.
    QProcessEnvironment Environment() const;
    // Runs xdotool with `arguments`; its standard output.
    QString XDoTool(const QStringList& arguments) const;
    QImage Screenshot() const;
    // The place and size on the screen of the first shown window whose title matches `title`
    // (a regular expression), once there is one; an empty rectangle when none shows in time.
    QRect WindowNamed(const QString& title, int milliseconds) const;

    // Polls `done` until it holds or `milliseconds` have passed: a program on the display answers
    // in its own time.
    static bool WaitFor(const std::function<bool()>& done, int milliseconds);

private:
    QProcess server_;
    QString name_;
};

} // namespace slidevane::test
