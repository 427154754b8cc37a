#pragma once

#include "CallWatchdog.h"
#include "UnoValues.h"

#include <atomic>
#include <chrono>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>
#include <map>
#include <memory>
#include <string>

// The one bridge of this process to the office on a named pipe, with the office's component
// context, service manager and desktop. Within one process, bridges to the same office share
// the proxies of its objects: a second bridge would be handed proxies that die with the first.
// So every user of a pipe shares one link, and a link is replaced only once it is dead: its
// office went away (the bridge was disposed) or a call overran its deadline (the connection was
// closed under it to release the blocked call).
//
// Owns: the connection, the bridge and the proxies obtained through it; they are released and
// the bridge closed when the last owner lets go. It does not start or stop an office.
namespace slidevane {

class OfficeLink {
public:
    // The live link to the office on `pipeName`: the existing one, or a new one whose hand-shake
    // is bounded by `handshakeDeadline`. nullptr when nothing listens there (known at once).
    static std::shared_ptr<OfficeLink> Open(const std::string& pipeName,
                                            std::chrono::milliseconds handshakeDeadline);
    ~OfficeLink();
    OfficeLink(const OfficeLink&) = delete;
    OfficeLink& operator=(const OfficeLink&) = delete;

    // Runs `body` under `deadline`. Office exceptions become RuntimeError for `call`, with the
    // office's own reason but none of the bridge's internals; a RuntimeError thrown by `body`
    // passes through. Nested calls share the outer deadline.
    void Call(const std::string& call, std::chrono::milliseconds deadline,
              const std::function<void()>& body);

    bool Dead() const { return dead_->load(); }
    const std::string& PipeName() const { return pipeName_; }

    const css::uno::Reference<css::uno::XComponentContext>& Context() const { return context_; }
    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }
    css::uno::Reference<css::uno::XInterface>
    Create(const char* service, const css::uno::Sequence<css::uno::Any>& arguments = {}) const;
    // One instance of an office-wide service (type detection, the filter configuration) per
    // link, asked for `Interface` once.
    template <class Interface> css::uno::Reference<Interface> Service(const char* service) {
        css::uno::Any& held =
            serviceCache_[std::string(service) + "/" +
                          uno::FromUno(cppu::UnoType<Interface>::get().getTypeName())];
        if (!held.hasValue()) {
            held <<= css::uno::Reference<Interface>(Create(service), css::uno::UNO_QUERY_THROW);
        }
        css::uno::Reference<Interface> instance;
        held >>= instance; // the type it was stored as: no question to the office
        return instance;
    }

    // Facts about the office that do not change while it runs (which document a filter makes,
    // say), kept with the link so that another office is asked afresh.
    std::map<std::string, std::string>& Facts() { return facts_; }

private:
    explicit OfficeLink(std::string pipeName);
    void Forget();

    std::string pipeName_;
    std::unique_ptr<CallWatchdog> watchdog_;
    css::uno::Reference<css::connection::XConnection> connection_;
    css::uno::Reference<css::lang::XComponent> bridge_;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::lang::XMultiComponentFactory> services_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
    std::map<std::string, std::string> facts_;
    std::map<std::string, css::uno::Any> serviceCache_;
    int depth_ = 0;
    // Shared with the bridge's listener, which may outlive this object by a moment.
    std::shared_ptr<std::atomic<bool>> dead_;
};

} // namespace slidevane
