#include "OfficeConnection.h"

#include "UnoValues.h"
#include "shell/RuntimeError.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/ConnectionSetupException.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cstdlib>

namespace slidevane {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using uno::FromUno;
using uno::ToUno;

namespace {

std::string Seconds(std::chrono::milliseconds duration) {
    return std::to_string(duration.count() / 1000.0).substr(0, 4) + " s";
}

std::string Message(const css::uno::Exception& error) {
    std::string const text = FromUno(error.Message);
    return text.empty() ? "the office refused the call" : text;
}

} // namespace

Reference<css::uno::XComponentContext> OfficeConnection::LocalContext() {
    static Reference<css::uno::XComponentContext> const context = [] {
        // Without it the local runtime finds no type library and crashes on the first call that
        // marshals a value; a value the user set on purpose is kept.
        setenv("URE_BOOTSTRAP", SLIDEVANE3_FUNDAMENTALRC, 0);
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

OfficeConnection::OfficeConnection(std::chrono::milliseconds callDeadline)
    : callDeadline_(callDeadline), watchdog_(std::make_unique<CallWatchdog>()) {}

OfficeConnection::~OfficeConnection() {
    desktop_.clear();
    services_.clear();
    context_.clear();
    if (bridge_.is()) {
        try {
            bridge_->dispose();
        } catch (const css::uno::Exception&) {
            // Closing a bridge the office already dropped has nothing left to do.
        }
    }
}

std::shared_ptr<OfficeConnection>
OfficeConnection::TryConnect(const std::string& pipeName, std::chrono::milliseconds connectDeadline,
                             std::chrono::milliseconds callDeadline) {
    std::shared_ptr<OfficeConnection> office;
    try {
        Reference<css::uno::XComponentContext> const local = LocalContext();
        Reference<css::connection::XConnection> link;
        try {
            link =
                css::connection::Connector::create(local)->connect(ToUno("pipe,name=" + pipeName));
        } catch (const css::connection::NoConnectException&) {
            return nullptr;
        }
        office.reset(new OfficeConnection(callDeadline));
        office->link_ = link;
        Reference<css::bridge::XBridge> const bridge =
            css::bridge::BridgeFactory::create(local)->createBridge(OUString(), "urp", link,
                                                                    nullptr);
        office->bridge_.set(bridge, UNO_QUERY_THROW);
    } catch (const css::uno::Exception& error) {
        throw RuntimeError::Automation("connect", Message(error));
    }

    // The pipe may belong to an office that accepts connections but never answers (stopped,
    // or busy with a modal dialog); the hand-shake is bounded like any other call.
    OfficeConnection& connection = *office;
    auto const saved = connection.callDeadline_;
    connection.callDeadline_ = connectDeadline;
    connection.Call("connect", [&connection] {
        Reference<css::bridge::XBridge> const bridge(connection.bridge_, UNO_QUERY_THROW);
        connection.context_.set(bridge->getInstance("StarOffice.ComponentContext"),
                                UNO_QUERY_THROW);
        connection.services_.set(connection.context_->getServiceManager(), UNO_QUERY_THROW);
        connection.desktop_ = css::frame::Desktop::create(connection.context_);
    });
    connection.callDeadline_ = saved;
    return office;
}

Reference<css::uno::XInterface>
OfficeConnection::Create(const char* service,
                         const css::uno::Sequence<css::uno::Any>& arguments) const {
    OUString const name = OUString::createFromAscii(service);
    Reference<css::uno::XInterface> instance =
        arguments.hasElements()
            ? services_->createInstanceWithArgumentsAndContext(name, arguments, context_)
            : services_->createInstanceWithContext(name, context_);
    if (!instance.is()) {
        throw css::uno::RuntimeException("the office has no service " + name);
    }
    return instance;
}

void OfficeConnection::Call(const std::string& call, const std::function<void()>& body) {
    auto const timeout = [&] {
        return RuntimeError::Automation(call, "the office did not answer within " +
                                                  Seconds(callDeadline_));
    };
    if (dead_) {
        throw RuntimeError::Automation(call, "the connection to the office was lost");
    }
    bool const outer = depth_ == 0;
    if (outer) {
        // The action runs on the watchdog's thread while this one is blocked in the call:
        // dissolving the bridge wakes the blocked call with an error.
        // Closing the connection under the bridge ends it the way an office that dies does,
        // which releases the calls waiting for replies.
        Reference<css::connection::XConnection> const link = link_;
        watchdog_->Arm(callDeadline_, [this, link] {
            dead_ = true;
            try {
                link->close();
            } catch (const css::uno::Exception&) {
            }
        });
    }
    ++depth_;
    std::string failure;
    bool failed = false;
    try {
        body();
    } catch (const css::uno::Exception& error) {
        failed = true;
        failure = Message(error);
    } catch (...) {
        --depth_;
        if (outer) {
            watchdog_->Disarm();
            if (dead_) {
                Forget();
            }
        }
        throw;
    }
    --depth_;
    bool const expired = outer && watchdog_->Disarm();
    if (outer && dead_) {
        Forget();
    }
    if (failed) {
        if (expired || dead_) {
            throw timeout();
        }
        throw RuntimeError::Automation(call, failure);
    }
}

void OfficeConnection::Forget() {
    // Within one process, bridges to the same office share the proxies of its objects: a later
    // connection would be handed this dead bridge's proxies for as long as they are held.
    desktop_.clear();
    services_.clear();
    context_.clear();
}

} // namespace slidevane
