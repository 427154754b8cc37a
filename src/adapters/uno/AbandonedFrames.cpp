#include "AbandonedFrames.h"

#include "TemplateLoader.h"
#include "UnoValues.h"

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/frame/FrameSearchFlag.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <map>
#include <vector>

namespace slidevane {

using css::uno::Reference;
using css::uno::UNO_QUERY;

namespace {

std::map<std::string, std::vector<std::string>>& Names() {
    static std::map<std::string, std::vector<std::string>> names;
    return names;
}

} // namespace

void AbandonedFrames::Remember(const std::string& pipeName, const std::string& frameName) {
    Names()[pipeName].push_back(frameName);
}

bool AbandonedFrames::Any(const std::string& pipeName) {
    auto const found = Names().find(pipeName);
    return found != Names().end() && !found->second.empty();
}

void AbandonedFrames::CloseFound(OfficeConnection& office) {
    auto const found = Names().find(office.Link()->PipeName());
    if (found == Names().end()) {
        return;
    }
    std::vector<std::string>& names = found->second;
    std::erase_if(names, [&office](const std::string& name) {
        Reference<css::frame::XFrame> const frame =
            office.Desktop()->findFrame(uno::ToUno(name), css::frame::FrameSearchFlag::CHILDREN);
        if (!frame.is()) {
            return false; // not made yet, or never will be
        }
        // A frame is shown before its presentation is put into it: one that is shown and holds
        // the presentation is the user's now; one shown empty is not.
        Reference<css::frame::XController> const controller = frame->getController();
        Reference<css::awt::XWindow2> const window(frame->getContainerWindow(), UNO_QUERY);
        if (controller.is() && window.is() && window->isVisible()) {
            return true;
        }
        TemplateLoader::Close(
            controller.is() ? Reference<css::uno::XInterface>(controller->getModel(), UNO_QUERY)
                            : Reference<css::uno::XInterface>(frame, UNO_QUERY));
        return true;
    });
}

} // namespace slidevane
