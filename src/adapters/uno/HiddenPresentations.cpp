#include "HiddenPresentations.h"

#include <algorithm>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>

namespace slidevane {

using css::uno::Reference;
using css::uno::UNO_QUERY;

void HiddenPresentations::Add(const Reference<css::frame::XModel>& document) {
    documents_.push_back(document);
}

void HiddenPresentations::Replace(const Reference<css::frame::XModel>& old,
                                  const Reference<css::frame::XModel>& replacement) {
    std::replace(documents_.begin(), documents_.end(), old, replacement);
}

void HiddenPresentations::Remove(const Reference<css::frame::XModel>& document) {
    std::erase(documents_, document);
}

void HiddenPresentations::SetVisible(bool visible) {
    for (const auto& document : documents_) {
        Reference<css::frame::XController> const controller = document->getCurrentController();
        if (!controller.is()) {
            continue; // closed by the user or another program meanwhile
        }
        Reference<css::awt::XWindow> const window = controller->getFrame()->getContainerWindow();
        window->setVisible(visible);
        if (Reference<css::awt::XTopWindow> const top{window, UNO_QUERY}; visible && top.is()) {
            top->toFront();
        }
    }
}

} // namespace slidevane
