#include "FaultBrowser.h"

namespace slidevane::test {

FaultBrowser::FaultBrowser(const FaultPack& faultPack)
    : pack(faultPack), registry({faultPack.RegistryFile().toStdString()}), dialog(window),
      form({registry, window, dialog, shell, automation}) {
    window.SetEventHandler([this](Control control, Event event) { form.Dispatch(control, event); });
}

bool FaultBrowser::Start() {
    if (!form.Form_Load()) {
        return false;
    }
    window.show();
    return true;
}

QPoint FaultBrowser::Centre(Control control) const {
    return window.Widget(control).geometry().center();
}

FaultBrowser::Shown FaultBrowser::Showing() const {
    QString const ui = pack.UiFolder() + QLatin1Char('/');
    Shown shown;
    for (Control control : AllControls) {
        QString const& file = window.LoadedFile(control);
        if (file.isEmpty()) {
            continue;
        }
        QString const name = file.startsWith(ui) ? file.mid(ui.size()) : file;
        shown[std::string(ControlName(control))] = name.toStdString();
    }
    return shown;
}

} // namespace slidevane::test
