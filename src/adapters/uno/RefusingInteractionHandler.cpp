#include "RefusingInteractionHandler.h"

#include <com/sun/star/document/BrokenPackageRequest.hpp>
#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionDisapprove.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>

namespace slidevane {

using css::uno::Reference;
using css::uno::UNO_QUERY;

void RefusingInteractionHandler::handle(const Reference<css::task::XInteractionRequest>& request) {
    css::uno::Any const question = request->getRequest();
    Question kind = Question::Other;
    // Every password question of the office (its own formats' and the foreign ones') derives
    // from this one.
    if (css::task::PasswordRequest password; question >>= password) {
        kind = Question::Password;
    } else if (css::document::BrokenPackageRequest broken; question >>= broken) {
        kind = Question::Repair;
    }
    Question expected = Question::None;
    asked_.compare_exchange_strong(expected, kind);

    // Abort where the question allows it; a question without that choice is declined.
    Reference<css::task::XInteractionContinuation> decline;
    for (const auto& choice : request->getContinuations()) {
        if (Reference<css::task::XInteractionAbort>(choice, UNO_QUERY).is()) {
            choice->select();
            return;
        }
        if (Reference<css::task::XInteractionDisapprove>(choice, UNO_QUERY).is()) {
            decline = choice;
        }
    }
    if (decline.is()) {
        decline->select();
    }
}

} // namespace slidevane
