#include "ModalBoxWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace slidevane::test {

ModalBoxWatcher::ModalBoxWatcher() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
}

void ModalBoxWatcher::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        return;
    }
    SeenBox seen;
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.buttonCount = static_cast<int>(box->buttons().size());
    seen.busyPointer = QGuiApplication::overrideCursor() != nullptr;
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    seen.hasIcon = !box->iconPixmap().isNull() || (ok != nullptr && !ok->icon().isNull());
    seen_.push_back(seen);
    if (ok != nullptr) {
        ok->click();
    } else {
        box->reject();
    }
}

} // namespace slidevane::test
