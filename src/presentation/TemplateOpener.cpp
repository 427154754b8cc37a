#include "presentation/TemplateOpener.h"

#include "platform/RuntimeError.h"
#include "weblink/VendorAddress.h"

namespace slidevane {

namespace {

// Add a presentation with a window, apply the template, show the application. The collection
// is released at once; the presentation is held until the steps are done.
void AddApplyShow(AutomationApplication& application, const std::string& path) {
    std::unique_ptr<AutomationPresentation> presentation =
        application.Presentations()->Add(msoTrue);
    presentation->ApplyTemplate(path);
    application.SetVisible(msoTrue);
}

} // namespace

TemplateOpener::TemplateOpener(const BrowserState& state, Catalogue& catalogue,
                               AutomationRuntime& automation, DialogPort& dialog)
    : state_(state), catalogue_(catalogue), automation_(automation), dialog_(dialog) {}

void TemplateOpener::OpenSelectedTemplate() {
    std::string const folder = catalogue_.GetDefaultTemplatePath();
    auto const number = static_cast<std::int16_t>(state_.PictureIndex - 3);
    std::string file;
    if (catalogue_.LookupTemplateFile(file, state_.CurrentIndex, number)) {
        OpenPresentation(folder + file);
        return;
    }
    dialog_.MessageBox(std::string("To purchase information,please visit ") + VendorAddress,
                       "Slidevane3");
}

void TemplateOpener::OpenPresentation(std::string path) {
    StartPresentationApp(path);
}

void TemplateOpener::StartPresentationApp(const std::string& path) {
    std::string const progId = "Powerpoint.Application." + state_.HasPptVer;
    std::unique_ptr<AutomationApplication> application;
    try {
        application = automation_.GetObject("", progId);
        AddApplyShow(*application, path);
        return;
    } catch (const std::exception&) {
        // Any failure of the first attempt leads to the second; its work is not undone.
    }
    application = automation_.CreateObject(progId);
    AddApplyShow(*application, path);
}

} // namespace slidevane
