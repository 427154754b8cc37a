#include "adapters/qt/QtWindow.h"

#include "adapters/qt/IconFile.h"
#include "adapters/qt/QtPicture.h"
#include "platform/LayoutTable.h"

#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

// Resources of a static library are registered explicitly: nothing else references them, so the
// linker would drop them.
static void RegisterStoredPictures() {
    Q_INIT_RESOURCE(slidevane3_assets);
}

namespace slidevane {

namespace {

constexpr std::size_t Slot(Control control) {
    return static_cast<std::size_t>(control);
}
constexpr std::size_t Slot(Property property) {
    return static_cast<std::size_t>(property);
}

QString Stored(const char* name) {
    return QStringLiteral(":/slidevane3/") + QLatin1String(name);
}

QString StoredPictureOf(Control control) {
    return Stored(std::string(ControlName(control)).append(".gif").c_str());
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Rounded(float pixels) {
    return static_cast<int>(std::lround(pixels));
}

} // namespace

QtWindow::QtWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    RegisterStoredPictures();
    setWindowTitle(QStringLiteral("Slidevane"));
    QIcon icon;
    for (IconFile::Image const& image : IconFile::Decode(ReadResource(Stored("slidevane3.ico")))) {
        icon.addPixmap(QPixmap::fromImage(image.picture));
    }
    setWindowIcon(icon);
    setFocusPolicy(Qt::NoFocus);
    background_ = QPixmap::fromImage(QtPicture::Image(QtPicture::Stored(Stored("background.gif"))));

    float const twipsPerPixel = TwipsPerPixel();
    formWidth_ = LayoutTable::FormWidthTwips;
    formHeight_ = LayoutTable::FormHeightTwips;
    for (Control control : AllControls) {
        auto* widget = new PictureControl(control, guard_, this);
        widget->SetPicture(QtPicture::Stored(StoredPictureOf(control)));
        controls_[Slot(control)] = widget;
        ControlLayout const& layout = LayoutTable::Of(control);
        geometry_[Slot(control)] = {layout.left / twipsPerPixel, layout.top / twipsPerPixel,
                                    layout.width / twipsPerPixel, layout.height / twipsPerPixel};
        PlaceControl(control);
    }
    // Later controls of the layout lie above earlier ones; creation order already stacks them so.
    // The pointer's hot spot is the fingertip of the hand, whatever the file says.
    QList<IconFile::Image> const hand = IconFile::Decode(ReadResource(Stored("hand.cur")));
    if (!hand.isEmpty()) {
        Widget(Control::WWWBtn).setCursor(QCursor(QPixmap::fromImage(hand.last().picture), 12, 1));
    }
    ApplyFormSize();
}

void QtWindow::SetEventHandler(const PictureControl::EventHandler& handler) {
    for (PictureControl* widget : controls_) {
        widget->SetEventHandler(handler);
    }
}

PictureControl& QtWindow::Widget(Control control) const {
    return *controls_[Slot(control)];
}

const QString& QtWindow::LoadedFile(Control control) const {
    return loaded_[Slot(control)];
}

float QtWindow::TwipsPerPixel() const {
    return 1440.0f / static_cast<float>(logicalDpiY());
}

void QtWindow::LoadPicture(Control control, const std::string& path) {
    // Only the part the control shows is decoded. Controls change size only in the start-up
    // compensation, which shrinks them before any file is loaded. A failure leaves the control
    // as it was.
    PictureControl& widget = Widget(control);
    widget.SetPicture(pictures_.Load(path, widget.width(), widget.height()));
    loaded_[Slot(control)] = QString::fromStdString(files_.LastNativePath());
}

void QtWindow::SetFormWidth(float twips) {
    formWidth_ = twips;
    ApplyFormSize();
}

void QtWindow::SetFormHeight(float twips) {
    formHeight_ = twips;
    ApplyFormSize();
}

float QtWindow::ControlProperty(Control control, Property property) const {
    return geometry_[Slot(control)][Slot(property)];
}

void QtWindow::SetControlProperty(Control control, Property property, float pixels) {
    geometry_[Slot(control)][Slot(property)] = pixels;
    PlaceControl(control);
}

float QtWindow::ScaleHeight() const {
    return LayoutTable::FormHeightTwips / TwipsPerPixel();
}

void QtWindow::Minimize() {
    showMinimized();
}

void QtWindow::Unload() {
    close();
}

void QtWindow::paintEvent(QPaintEvent*) {
    // 1:1 from the top-left corner: the picture is larger than the client area and the excess is
    // cut off, never scaled.
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void QtWindow::mousePressEvent(QMouseEvent* event) {
    // A press on the background is still a press: a following double-click on a control near it
    // must not pair with it.
    guard_.PairsWith(
        {this, static_cast<int>(event->button()), event->globalPosition(), event->timestamp()});
    event->accept();
}

void QtWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt's own pairing does not decide anything: to the window this is one more press.
    mousePressEvent(event);
}

void QtWindow::PlaceControl(Control control) {
    auto const& g = geometry_[Slot(control)];
    Widget(control).setGeometry(Rounded(g[Slot(Property::Left)]), Rounded(g[Slot(Property::Top)]),
                                Rounded(g[Slot(Property::Width)]),
                                Rounded(g[Slot(Property::Height)]));
}

void QtWindow::ApplyFormSize() {
    // Fixed in both directions: the user can neither resize nor, without a frame, move it.
    float const twipsPerPixel = TwipsPerPixel();
    setFixedSize(Rounded(formWidth_ / twipsPerPixel), Rounded(formHeight_ / twipsPerPixel));
}

} // namespace slidevane
