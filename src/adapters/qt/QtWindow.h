#pragma once

#include "adapters/posix/PosixPictureFiles.h"
#include "adapters/qt/DoubleClickGuard.h"
#include "adapters/qt/PictureControl.h"
#include "picture/PictureLoader.h"
#include "platform/WindowPort.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

// The one window on Qt: a frameless, fixed-size top-level widget that paints the background
// picture and holds the seventeen picture controls at the places of the layout table, each
// showing its stored picture from the moment the window exists.
//
// Owns: the controls, the background, the layout's floating-point geometry (the window's outer
// size in twips, the controls' places and sizes in pixels) and how it is rounded onto the screen,
// and the picture loader with the pictures it has decoded. It does not own how pictures are read
// and decoded (the picture room, over the posix adapter's files), what the events mean (the
// core), the message box (QtDialog) or the end of the program (main's event loop).
namespace slidevane {

class QtWindow : public QWidget, public WindowPort {
public:
    explicit QtWindow(QWidget* parent = nullptr);

    // Every control's events go to this one handler.
    void SetEventHandler(const PictureControl::EventHandler& handler);

    PictureControl& Widget(Control control) const;
    // The native path of the file a control last loaded; empty while it shows its stored picture.
    const QString& LoadedFile(Control control) const;
    // 1440 over the display's logical dots per inch: 15 at the designed 96.
    float TwipsPerPixel() const;

    void LoadPicture(Control control, const std::string& path) override;
    float FormWidth() const override { return formWidth_; }
    float FormHeight() const override { return formHeight_; }
    void SetFormWidth(float twips) override;
    void SetFormHeight(float twips) override;
    float ControlProperty(Control control, Property property) const override;
    void SetControlProperty(Control control, Property property, float pixels) override;
    float ScaleHeight() const override;
    void Minimize() override;
    void Unload() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PlaceControl(Control control);
    void ApplyFormSize();

    PosixPictureFiles files_;
    PictureLoader pictures_{files_};
    DoubleClickGuard guard_;
    QPixmap background_;
    std::array<PictureControl*, ControlCount> controls_{};
    std::array<std::array<float, 4>, ControlCount> geometry_{};
    std::array<QString, ControlCount> loaded_;
    float formWidth_ = 0;
    float formHeight_ = 0;
};

} // namespace slidevane
