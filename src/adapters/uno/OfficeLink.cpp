#include "OfficeLink.h"

#include "LocalUnoRuntime.h"
#include "UnoValues.h"
#include "platform/RuntimeError.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/implbase1.hxx>
#include <map>
#include <regex>

namespace slidevane {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using uno::FromUno;
using uno::ToUno;

namespace {

constexpr char LostMessage[] = "the connection to the office was lost";

// The links of this process by pipe name. Only the user-interface thread opens links; the
// watchdog and the bridge's own thread only mark them dead.
std::map<std::string, std::weak_ptr<OfficeLink>>& Links() {
    static std::map<std::string, std::weak_ptr<OfficeLink>> links;
    return links;
}

// Marks the link dead when the bridge goes, which happens when the office ends or drops it.
class BridgeListener : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    explicit BridgeListener(std::shared_ptr<std::atomic<bool>> dead) : dead_(std::move(dead)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { dead_->store(true); }

private:
    std::shared_ptr<std::atomic<bool>> dead_;
};

std::string Seconds(std::chrono::milliseconds duration) {
    return std::to_string(duration.count() / 1000.0).substr(0, 4) + " s";
}

// The office's reason without the bridge's source locations, which mean nothing to a user.
std::string Reason(const css::uno::Exception& error) {
    static const std::regex location(R"(\s+at\s+\S+:\d+\s*$)");
    std::string const text = std::regex_replace(FromUno(error.Message), location, "");
    return text.empty() ? "the office refused the call" : text;
}

} // namespace

OfficeLink::OfficeLink(std::string pipeName)
    : pipeName_(std::move(pipeName)), watchdog_(std::make_unique<CallWatchdog>()),
      dead_(std::make_shared<std::atomic<bool>>(false)) {}

OfficeLink::~OfficeLink() {
    Forget();
    if (bridge_.is()) {
        try {
            bridge_->dispose();
        } catch (const css::uno::Exception&) {
            // Closing a bridge the office already dropped has nothing left to do.
        }
    }
}

std::shared_ptr<OfficeLink> OfficeLink::Open(const std::string& pipeName,
                                             std::chrono::milliseconds handshakeDeadline) {
    auto& links = Links();
    if (auto const found = links.find(pipeName); found != links.end()) {
        if (std::shared_ptr<OfficeLink> live = found->second.lock()) {
            if (!live->Dead()) {
                return live;
            }
            if (live->depth_ == 0) {
                live->Forget();
            }
        }
        links.erase(found);
    }

    std::shared_ptr<OfficeLink> link(new OfficeLink(pipeName));
    try {
        Reference<css::uno::XComponentContext> const local = LocalUnoRuntime::Context();
        try {
            link->connection_ =
                css::connection::Connector::create(local)->connect(ToUno("pipe,name=" + pipeName));
        } catch (const css::connection::NoConnectException&) {
            return nullptr;
        }
        Reference<css::bridge::XBridge> const bridge =
            css::bridge::BridgeFactory::create(local)->createBridge(OUString(), "urp",
                                                                    link->connection_, nullptr);
        link->bridge_.set(bridge, UNO_QUERY_THROW);
        link->bridge_->addEventListener(new BridgeListener(link->dead_));
    } catch (const css::uno::Exception& error) {
        throw RuntimeError::Automation("connect", Reason(error));
    }

    // The pipe may belong to an office that accepts connections but never answers (stopped,
    // or busy with a modal dialog); the hand-shake is bounded like any other call.
    OfficeLink& self = *link;
    std::shared_ptr<OfficeLink> same;
    self.Call("connect", handshakeDeadline, [&] {
        Reference<css::bridge::XBridge> const bridge(self.bridge_, UNO_QUERY_THROW);
        self.context_.set(bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
        // Another pipe of the same office: this process already holds a proxy of its context,
        // and the new bridge, left with no proxy of its own, is closing. The office is reached
        // through the link that holds the proxies.
        for (const auto& [other, weak] : links) {
            if (std::shared_ptr<OfficeLink> live = weak.lock();
                live && !live->Dead() && live->context_ == self.context_) {
                same = std::move(live);
                return;
            }
        }
        self.services_.set(self.context_->getServiceManager(), UNO_QUERY_THROW);
        self.desktop_ = css::frame::Desktop::create(self.context_);
    });
    if (same) {
        link->Forget();
        link = std::move(same);
    }
    links[pipeName] = link;
    return link;
}

Reference<css::uno::XInterface>
OfficeLink::Create(const char* service, const css::uno::Sequence<css::uno::Any>& arguments) const {
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

void OfficeLink::Call(const std::string& call, std::chrono::milliseconds deadline,
                      const std::function<void()>& body) {
    if (Dead()) {
        throw RuntimeError::Automation(call, LostMessage);
    }
    bool const outer = depth_ == 0;
    if (outer) {
        // The action runs on the watchdog's thread while this one is blocked in the call.
        // Closing the connection under the bridge ends it the way an office that dies does,
        // which releases the calls waiting for replies.
        Reference<css::connection::XConnection> const connection = connection_;
        watchdog_->Arm(deadline, [dead = dead_, connection] {
            dead->store(true);
            try {
                connection->close();
            } catch (const css::uno::Exception&) {
            }
        });
    }
    ++depth_;
    std::string failure;
    bool failed = false;
    try {
        body();
    } catch (const css::lang::DisposedException& error) {
        failed = true;
        failure = Reason(error);
        // Either an object of the office went (closed meanwhile) or the bridge itself did; only
        // a call through the bridge tells which, and only the outer call can make it safely.
        if (outer && !Dead()) {
            try {
                if (!context_.is() || !context_->getServiceManager().is()) {
                    dead_->store(true); // the hand-shake itself was cut off
                }
            } catch (const css::uno::RuntimeException&) {
                dead_->store(true);
            }
        }
        if (Dead()) {
            failure = LostMessage;
        }
    } catch (const css::uno::Exception& error) {
        failed = true;
        failure = Reason(error);
    } catch (...) {
        --depth_;
        if (outer) {
            watchdog_->Disarm();
            if (Dead()) {
                Forget();
            }
        }
        throw;
    }
    --depth_;
    bool const expired = outer && watchdog_->Disarm();
    if (outer && Dead()) {
        Forget();
    }
    if (failed) {
        if (expired) {
            throw RuntimeError::Automation(call,
                                           "the office did not answer within " + Seconds(deadline));
        }
        throw RuntimeError::Automation(call, failure);
    }
}

void OfficeLink::Forget() {
    // A dead link's proxies lead nowhere; holding them would hand a new link of this process
    // the same dead proxies. The next Open of the pipe makes that new link.
    serviceCache_.clear();
    desktop_.clear();
    services_.clear();
    context_.clear();
}

} // namespace slidevane
