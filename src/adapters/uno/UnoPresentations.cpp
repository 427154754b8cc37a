#include "UnoPresentations.h"

#include "UnoPresentation.h"
#include "UnoValues.h"

#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>

namespace slidevane {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

UnoPresentations::UnoPresentations(std::shared_ptr<OfficeConnection> office,
                                   std::shared_ptr<HiddenPresentations> hidden)
    : office_(std::move(office)), hidden_(std::move(hidden)) {}

std::unique_ptr<AutomationPresentation> UnoPresentations::Add(int /*withWindow*/) {
    Reference<css::frame::XModel> document;
    office_->Call("Presentations.Add", [&] {
        Reference<css::frame::XComponentLoader> const loader(office_->Desktop(), UNO_QUERY_THROW);
        document.set(loader->loadComponentFromURL("private:factory/simpress", "_blank", 0,
                                                  uno::Properties({{"Hidden", Any(true)}})),
                     UNO_QUERY);
        if (!document.is()) {
            throw css::uno::RuntimeException("the office could not create a presentation");
        }
    });
    hidden_->Add(document);
    return std::make_unique<UnoPresentation>(office_, hidden_, document);
}

} // namespace slidevane
