#pragma once

#include "OfficeLink.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// A user's share of the link to an office on a named pipe, with the deadline for that user's
// calls. Every call into the office goes through Call(), which bounds it: when the office does
// not answer in time the link is given up, the blocked call returns with an error and every
// share of that link is lost from then on.
//
// Owns: its share of the link and its call deadline. It does not start or stop an office.
namespace slidevane {

class OfficeConnection {
public:
    // The office on `pipeName`, or nullptr when nothing listens there (which is known at once).
    // A new link's hand-shake is bounded by `connectDeadline`; calls by `callDeadline`.
    static std::shared_ptr<OfficeConnection> TryConnect(const std::string& pipeName,
                                                        std::chrono::milliseconds connectDeadline,
                                                        std::chrono::milliseconds callDeadline);
    OfficeConnection(std::shared_ptr<OfficeLink> link, std::chrono::milliseconds callDeadline);

    const css::uno::Reference<css::uno::XComponentContext>& Context() const {
        return link_->Context();
    }
    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return link_->Desktop(); }
    css::uno::Reference<css::uno::XInterface>
    Create(const char* service, const css::uno::Sequence<css::uno::Any>& arguments = {}) const {
        return link_->Create(service, arguments);
    }

    void Call(const std::string& call, const std::function<void()>& body) {
        link_->Call(call, callDeadline_, body);
    }

    // True once the link is dead: the office went away or a call overran its deadline.
    bool Lost() const { return link_->Dead(); }

    const std::shared_ptr<OfficeLink>& Link() const { return link_; }

private:
    std::shared_ptr<OfficeLink> link_;
    std::chrono::milliseconds callDeadline_;
};

} // namespace slidevane
