#include "shell/Form1.h"

#include "platform/LayoutTable.h"
#include "platform/RuntimeError.h"

namespace slidevane {

namespace {

constexpr const char* Caption = "Slidevane3";

std::size_t Slot(Control control) {
    return static_cast<std::size_t>(control);
}
std::size_t Slot(Event event) {
    return static_cast<std::size_t>(event);
}

} // namespace

Form1::Form1(Form1Ports ports)
    : ports_(ports), module1_(ports.registry, win::KEY_READ, ports.registryWatch),
      catalogue_(module1_), web_(state_, ports.window, ports.shell),
      preview_(state_, catalogue_, ports.window, web_),
      strip_(state_, catalogue_, ports.window, preview_, web_),
      detector_(state_, module1_, ports.dialog, ports.window),
      opener_(state_, catalogue_, ports.automation, ports.dialog) {
    BuildEventTable();
}

void Form1::BuildEventTable() {
    auto route = [this](Control control, Event event, std::function<void()> handler) {
        table_[Slot(control)][Slot(event)] = std::move(handler);
    };
    for (int k = 0; k <= 9; ++k) {
        route(StripButton(k), Event::Click, [this, k] { strip_.Button_Click(k); });
        route(StripButton(k), Event::MouseMove, [this, k] { strip_.Button_MouseMove(k); });
        route(StripButton(k), Event::MouseUp, [this, k] { strip_.Button_MouseUp(k); });
    }
    for (int j = 1; j <= 3; ++j) {
        route(Thumbnail(j), Event::MouseMove, [this, j] { preview_.Dis_MouseMove(j); });
        route(Thumbnail(j), Event::DblClick, [this] { opener_.OpenSelectedTemplate(); });
    }
    route(Control::MainDisBackGnd, Event::MouseMove,
          [this] { preview_.MainDisBackGnd_MouseMove(); });
    route(Control::MainDisBackGnd, Event::DblClick, [this] { opener_.OpenSelectedTemplate(); });
    route(Control::WWWBtn, Event::MouseMove, [this] { web_.WWWBtn_MouseMove(); });
    route(Control::WWWBtn, Event::Click, [this] { web_.WWWBtn_Click(); });
    route(Control::Picture10, Event::Click, [this] { Picture10_Click(); });
    route(Control::Picture9, Event::Click, [this] { Picture9_Click(); });
}

bool Form1::HasHandler(Control control, Event event) const {
    return static_cast<bool>(table_[Slot(control)][Slot(event)]);
}

void Form1::Dispatch(Control control, Event event) {
    auto const& handler = table_[Slot(control)][Slot(event)];
    if (ended_ || !handler) {
        return;
    }
    try {
        // Every read of the handler answers what the registry holds now.
        Module1::EventScope const reads(module1_);
        handler();
    } catch (const RuntimeError& error) {
        Report(error);
    } catch (const std::exception& error) {
        Report(RuntimeError(51, std::string("Internal error: ") + error.what()));
    }
}

void Form1::Report(const RuntimeError& error) {
    ended_ = true;
    ports_.dialog.MessageBox(ReportText(error), Caption);
    ports_.dialog.Quit(1);
}

void Form1::CompensateDisplayResolution() {
    float const scaleHeight = ports_.window.ScaleHeight();
    if (scaleHeight == LayoutTable::DesignedScaleHeight) {
        return;
    }
    // Bring the layout back to its designed pixel size on any density: exactly 0.8 on the
    // 12-twips-per-pixel display the layout was drawn for, the matching factor elsewhere.
    double const factor = static_cast<double>(LayoutTable::DesignedScaleHeight) / scaleHeight;
    auto scaled = [factor](float value) { return static_cast<float>(value * factor); };

    WindowPort& window = ports_.window;
    window.SetFormWidth(scaled(window.FormWidth()));
    window.SetFormHeight(scaled(window.FormHeight()));

    auto scale = [&](Control control, std::initializer_list<Property> order) {
        for (Property property : order) {
            window.SetControlProperty(control, property,
                                      scaled(window.ControlProperty(control, property)));
        }
    };
    using enum Property;
    scale(Control::WWWBtn, {Width, Top, Height, Left});
    for (int k = 0; k <= 9; ++k) {
        scale(StripButton(k), {Left, Width, Top, Height});
    }
    for (Control control : {Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd,
                            Control::MainDisBackGnd, Control::Picture10, Control::Picture9}) {
        scale(control, {Left, Width, Top, Height});
    }
}

bool Form1::Form_Load() {
    try {
        Module1::EventScope const reads(module1_);
        CompensateDisplayResolution();
        state_.Index = 0;
        state_.DefaultPath = catalogue_.GetDefaultPath();
        strip_.SetCurrentIndex(2);
        state_.BasePicIndex = 3;
        state_.PictureIndex = 4;
        preview_.ShowPreviewPage();
        return detector_.Detect();
    } catch (const RuntimeError& error) {
        Report(error);
    } catch (const std::exception& error) {
        Report(RuntimeError(51, std::string("Internal error: ") + error.what()));
    }
    return false;
}

void Form1::Picture10_Click() {
    ports_.window.Minimize();
}

void Form1::Picture9_Click() {
    ports_.window.Unload();
}

} // namespace slidevane
