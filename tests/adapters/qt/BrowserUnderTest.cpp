#include "BrowserUnderTest.h"

#include "PixelProbe.h"
#include "adapters/qt/BusyPointer.h"

#include <QDir>

namespace slidevane::test {

BrowserUnderTest::BrowserUnderTest(const FixturePack& fixture)
    : BrowserUnderTest({fixture.RegistryFile().toStdString()}) {
    pack = &fixture;
}

BrowserUnderTest::BrowserUnderTest(std::vector<std::filesystem::path> registryFiles)
    : pack(nullptr), registry(std::move(registryFiles)), dialog(window),
      form({registry, window, dialog, shell, automation}) {
    window.SetEventHandler(BusyPointer::ForDoubleClicks([this](Control control, Event event) {
        log.Record(control, event);
        form.Dispatch(control, event);
    }));
}

bool BrowserUnderTest::Start() {
    if (!form.Form_Load()) {
        return false;
    }
    window.show();
    return true;
}

QString BrowserUnderTest::Showing(Control control) const {
    QColor const shown =
        PixelProbe(const_cast<QtWindow&>(window)).At(window.Widget(control).geometry().center());
    QStringList const names = QDir(pack->UiFolder()).entryList(QDir::Files);
    for (QString const& name : names) {
        if (pack->ColourOf(name) == shown) {
            return name;
        }
    }
    return {};
}

} // namespace slidevane::test
