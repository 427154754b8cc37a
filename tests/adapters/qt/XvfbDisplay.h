#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

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

private:
    QProcess server_;
    QString name_;
};

} // namespace slidevane::test
