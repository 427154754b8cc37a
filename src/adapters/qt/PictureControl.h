#pragma once

#include "picture/DecodedPictures.h"
#include "platform/Control.h"

#include <QImage>
#include <QWidget>
#include <functional>

// One picture control of the window: shows one picture 1:1 from its top-left corner, clipped to
// its rectangle, and turns Qt's pointer events into the window's events (MouseMove, MouseUp,
// Click, DblClick) for the one callback that the program wires to the core.
//
// Owns: its picture and the flags of the primary button's press that decide Click and DblClick
// (the other buttons give MouseUp only). It does not own its place and size (the window sets
// them), the decoding of pictures (the picture room) nor what an event means (the core decides).
namespace slidevane {

class DoubleClickGuard;

class PictureControl : public QWidget {
public:
    using EventHandler = std::function<void(Control, Event)>;

    PictureControl(Control control, DoubleClickGuard& guard, QWidget* parent);

    Control Id() const { return control_; }
    // Repaints only when it is another picture: a hover reloads mostly the pictures already
    // shown, and the picture room gives the same object for the same bytes and size.
    void SetPicture(SharedPicture picture);
    const QImage& Picture() const { return image_; }
    void SetEventHandler(EventHandler handler) { handler_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateOpacity();
    void Press(const QMouseEvent& event);
    void Deliver(Event event);

    Control control_;
    DoubleClickGuard& guard_;
    SharedPicture picture_;
    QImage image_; // over the pixels of picture_
    EventHandler handler_;
    bool pressedHere_ = false; // the primary button was pressed on this control
    bool pressWasDouble_ = false;
};

} // namespace slidevane
