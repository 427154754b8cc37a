#pragma once

#include "CallWatchdog.h"

#include <atomic>
#include <chrono>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>
#include <memory>
#include <string>

// One bridge to an office that listens on a named pipe, with the office's component context
// and desktop. Every call into the office goes through Call(), which bounds it with the
// watchdog: when the office does not answer in time the connection under the bridge is closed,
// the blocked call returns with an error and the connection is dead from then on. Bridges of
// one process to the same office share the proxies of its objects, so the deadline of a call
// holds only while this is the one bridge to that office that the call's objects came through.
//
// Owns: the bridge and the references obtained through it; they are released, and the bridge
// closed, when the last owner lets go. It does not start or stop an office.
namespace slidevane {

class OfficeConnection {
public:
    // The office on `pipeName`, or nullptr when nothing listens there (which is known at once).
    // The hand-shake is bounded by `connectDeadline`; later calls by `callDeadline`.
    static std::shared_ptr<OfficeConnection> TryConnect(const std::string& pipeName,
                                                        std::chrono::milliseconds connectDeadline,
                                                        std::chrono::milliseconds callDeadline);
    ~OfficeConnection();
    OfficeConnection(const OfficeConnection&) = delete;
    OfficeConnection& operator=(const OfficeConnection&) = delete;

    const css::uno::Reference<css::uno::XComponentContext>& Context() const { return context_; }
    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }
    css::uno::Reference<css::uno::XInterface>
    Create(const char* service, const css::uno::Sequence<css::uno::Any>& arguments = {}) const;

    // Runs `body` under the call deadline. Office exceptions become RuntimeError for `call`;
    // a RuntimeError thrown by `body` passes through. Nested calls share the outer deadline.
    void Call(const std::string& call, const std::function<void()>& body);

    // True once a call overran its deadline: the bridge is gone, and the owners of references
    // obtained through it drop them (see Forget).
    bool Lost() const { return dead_; }

    // Before the first UNO call of the process: the local runtime needs the office's bootstrap
    // file, and creating its context more than once is wasted work.
    static css::uno::Reference<css::uno::XComponentContext> LocalContext();

private:
    OfficeConnection(std::chrono::milliseconds callDeadline);
    void Forget();

    std::chrono::milliseconds callDeadline_;
    std::unique_ptr<CallWatchdog> watchdog_;
    css::uno::Reference<css::connection::XConnection> link_;
    css::uno::Reference<css::lang::XComponent> bridge_;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::lang::XMultiComponentFactory> services_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
    int depth_ = 0;
    std::atomic<bool> dead_{false};
};

} // namespace slidevane
