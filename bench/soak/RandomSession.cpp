#include "RandomSession.h"

#include "adapters/qt/QtWindow.h"
#include "shell/Form1.h"

namespace slidevane::bench {

namespace {

// Every control but the two glyphs.
constexpr std::array<Control, 15> Browsable = {
    Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd, Control::MainDisBackGnd,
    Control::WWWBtn,      Control::Button10,    Control::Button9,     Control::Button8,
    Control::Button7,     Control::Button6,     Control::Button5,     Control::Button4,
    Control::Button3,     Control::Button2,     Control::Button1,
};

} // namespace

RandomSession::RandomSession(QtWindow& window, const Form1& form, unsigned seed)
    : window_(window), form_(form), pointer_(window), random_(seed) {
    // A margin around both glyphs: a point next to one is never rounded onto it.
    glyphs_ = window.Widget(Control::Picture10)
                  .geometry()
                  .united(window.Widget(Control::Picture9).geometry())
                  .adjusted(-2, -2, 2, 2);
    web_ = window.Widget(Control::WWWBtn).geometry().adjusted(-2, -2, 2, 2);
}

int RandomSession::Pick(int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(random_);
}

bool RandomSession::OnGlyph(QPoint at) const {
    return glyphs_.contains(at);
}

Control RandomSession::AnyControl() {
    return Browsable[static_cast<std::size_t>(Pick(15))];
}

QPoint RandomSession::InControl(Control control) {
    QRect const r = window_.Widget(control).geometry();
    return {r.left() + Pick(r.width()), r.top() + Pick(r.height())};
}

QPoint RandomSession::Anywhere() {
    for (;;) {
        QPoint const at(Pick(window_.width()), Pick(window_.height()));
        if (!OnGlyph(at)) {
            return at;
        }
    }
}

QPoint RandomSession::Pressable() {
    for (;;) {
        QPoint const at = Anywhere();
        if (!web_.contains(at)) {
            return at;
        }
    }
}

Control RandomSession::AnyPressable() {
    for (;;) {
        Control const control = AnyControl();
        if (control != Control::WWWBtn) {
            return control;
        }
    }
}

QPoint RandomSession::AnywhereOrOutside() {
    for (;;) {
        QPoint const at(Pick(window_.width() + 120) - 60, Pick(window_.height() + 120) - 60);
        if (!OnGlyph(at)) {
            return at;
        }
    }
}

int RandomSession::Act() {
    int sent = 0;
    int const roll = Pick(100);
    if (roll < 60) {
        pointer_.MoveTo(Pick(2) == 0 ? InControl(AnyControl()) : Anywhere());
        sent = 1;
    } else if (roll < 80) {
        // A click where the pointer already is, as a user points before clicking.
        QPoint const at = Pick(4) == 0 ? Pressable() : InControl(AnyPressable());
        pointer_.MoveTo(at);
        pointer_.Click(at);
        sent = 3;
    } else if (roll < 92) {
        QPoint const from = InControl(AnyPressable());
        pointer_.MoveTo(from);
        pointer_.Press(from);
        QPoint to = from;
        for (int steps = 1 + Pick(4); steps > 0; --steps) {
            to = AnywhereOrOutside();
            pointer_.MoveTo(to);
            ++sent;
        }
        pointer_.Release(to);
        sent += 3;
    } else {
        int const j = 1 + Pick(3);
        QPoint const at = InControl(Thumbnail(j));
        pointer_.MoveTo(at);
        sent = 1;
        // Only a thumbnail with a template: the others open the purchase message instead.
        BrowserState const& state = form_.State();
        bool const hasTemplate = j == 1 ? state.Pic1OK : j == 2 ? state.Pic2OK : state.Pic3OK;
        if (hasTemplate) {
            pointer_.DoubleClick(at);
            sent += 4;
            ++doubleClicks_;
        }
    }
    // Pauses from none to longer than the double-click interval, so that some clicks pair.
    pointer_.Wait(Pick(700));
    return sent;
}

} // namespace slidevane::bench
