#include "adapters/qt/PictureControl.h"

#include "adapters/qt/DoubleClickGuard.h"
#include "adapters/qt/QtPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace slidevane {

PictureControl::PictureControl(Control control, DoubleClickGuard& guard, QWidget* parent)
    : QWidget(parent), control_(control), guard_(guard) {
    setObjectName(QString::fromLatin1(ControlName(control).data(),
                                      static_cast<qsizetype>(ControlName(control).size())));
    // Moves are events of the window even with no button held.
    setMouseTracking(true);
    // An event a control does not take must not reach the background, which delivers nothing.
    setAttribute(Qt::WA_NoMousePropagation);
    setFocusPolicy(Qt::NoFocus);
}

void PictureControl::SetPicture(SharedPicture picture) {
    if (picture == picture_) {
        return;
    }
    picture_ = std::move(picture);
    image_ = QtPicture::Image(picture_);
    UpdateOpacity();
    update();
}

void PictureControl::resizeEvent(QResizeEvent*) {
    UpdateOpacity();
}

void PictureControl::UpdateOpacity() {
    // A picture without transparency that covers the whole control hides the background: Qt
    // then need not paint the window beneath it first.
    bool const opaque =
        !image_.hasAlphaChannel() && image_.width() >= width() && image_.height() >= height();
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

void PictureControl::paintEvent(QPaintEvent*) {
    // Transparent parts of a GIF show the background picture that the window paints beneath.
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void PictureControl::Press(const QMouseEvent& event) {
    // Every button's press takes part in the pairing: a press of another button between two
    // left presses breaks the pair, as the system's own controls count it.
    bool const pairs = guard_.PairsWith(
        {this, static_cast<int>(event.button()), event.globalPosition(), event.timestamp()});
    // Click and DblClick belong to the primary button (the window system reports it as the left
    // one, whichever hand the mouse is set up for); the others give only their MouseUp.
    if (event.button() != Qt::LeftButton) {
        return;
    }
    pressedHere_ = true;
    // The second press of a pair gives DblClick in place of a second Click.
    pressWasDouble_ = pairs;
    if (pressWasDouble_) {
        Deliver(Event::DblClick);
    }
}

void PictureControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    Press(*event);
}

void PictureControl::mouseDoubleClickEvent(QMouseEvent* event) {
    // QWidget's own handler would turn this into a second press and Qt's pairing ignores which
    // control was hit: the guard decides for this press as for any other.
    event->accept();
    Press(*event);
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        // A held primary button keeps its press: its own release still decides the Click.
        Deliver(Event::MouseUp);
        return;
    }
    // Qt's implicit grab sends the release to the pressed control wherever the pointer is, so
    // the position decides whether the press and release were over the same control.
    QPointF const at = event->position();
    bool const inside = rect().contains(
        QPoint(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))));
    bool const click = pressedHere_ && !pressWasDouble_ && inside;
    pressedHere_ = false;
    pressWasDouble_ = false;
    Deliver(Event::MouseUp);
    if (click) {
        Deliver(Event::Click);
    }
}

void PictureControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    Deliver(Event::MouseMove);
}

void PictureControl::Deliver(Event event) {
    if (handler_) {
        handler_(control_, event);
    }
}

} // namespace slidevane
