#pragma once

#include "UserEnvironment.h"
#include "UserProgram.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

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
    const QString& Name() const { return name_; }
    // A desktop session's environment on this display.
    UserEnvironment Environment() const;
    // Runs xdotool with `arguments`; its standard output.
    QString XDoTool(const QStringList& arguments) const;
    QImage Screenshot() const;
    // Asks the window `window` (an id as xdotool prints it) to close, as a desktop's close button
    // does: WM_DELETE_WINDOW in a WM_PROTOCOLS message. False when it could not be sent.
    bool CloseWindow(const QString& window) const;
    // The place and size on the screen of the first shown window whose title matches `title`
    // (a regular expression), once there is one; an empty rectangle when none shows in time.
    QRect WindowNamed(const QString& title, int milliseconds) const;

    // Polls `done` until it holds or `milliseconds` have passed: a program on the display answers
    // in its own time.
    static bool WaitFor(const std::function<bool()>& done, int milliseconds);

private:
    std::unique_ptr<UserProgram> server_;
    QString name_;
};

} // namespace slidevane::test
