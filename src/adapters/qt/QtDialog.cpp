#include "adapters/qt/QtDialog.h"

#include "adapters/qt/BusyPointer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

namespace slidevane {

QtDialog::QtDialog(QWidget& window) : window_(window) {}

void QtDialog::MessageBox(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, &window_);
    // Some styles decorate standard buttons with a theme icon; the box has no icon at all.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->setIcon(QIcon());
    }
    BusyPointer::Pause const ordinaryPointer; // the box ends a wait: the user answers it
    box.exec();
}

void QtDialog::Quit(int status) {
    status_ = status;
    // Hidden rather than closed: closing the last window would make the loop quit with 0 after
    // this exit. Before the loop runs (a start-up error) there is no loop to end; asking anyway
    // would end the next modal loop at once, so main reads QuitStatus instead.
    window_.hide();
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(status);
    }
}

} // namespace slidevane
