#include "adapters/qt/QtShell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <cstring>

namespace slidevane {

std::intptr_t QtShell::ShellExecuteA(void*, const char* operation, const char* file, const char*,
                                     const char*, int) {
    // Only the default verb exists on the desktop's opener.
    if (file == nullptr || (operation != nullptr && std::strcmp(operation, "open") != 0)) {
        return NotOpened;
    }
    QUrl const url = QUrl::fromUserInput(QString::fromUtf8(file));
    return url.isValid() && QDesktopServices::openUrl(url) ? Opened : NotOpened;
}

} // namespace slidevane
