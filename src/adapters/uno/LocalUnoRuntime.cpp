#include "LocalUnoRuntime.h"

#include "UnoValues.h"
#include "platform/RuntimeError.h"

#include <com/sun/star/container/XHierarchicalNameAccess.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <csignal>
#include <cstdlib>
#include <rtl/bootstrap.hxx>
#include <string_view>

namespace slidevane {

namespace {

constexpr std::string_view PathnameScheme = "vnd.sun.star.pathname:";

// A type that only the office's own library describes; the runtime's base library does not.
constexpr char OfficeType[] = "com.sun.star.frame.XDesktop2";

std::string FileUrlOf(const std::string& reference) {
    if (reference.starts_with(PathnameScheme)) {
        return uno::FromUno(uno::FileUrl(reference.substr(PathnameScheme.size())));
    }
    return reference;
}

css::uno::Reference<css::uno::XComponentContext> Make() {
    OUString const fundamental = uno::ToUno(LocalUnoRuntime::BootstrapFile());
    auto unreadable = [&](const std::string& what) {
        return RuntimeError::Automation("connect", "the office's " + what +
                                                       " cannot be read from " +
                                                       uno::FromUno(fundamental));
    };
    // The office's lists of type and service libraries, expanded through a handle on its own
    // bootstrap file: its $ORIGIN and references resolve against that file whatever the
    // process's default bootstrap settings are.
    rtl::Bootstrap const office(fundamental);
    OUString types;
    OUString services;
    if (office.getHandle() == nullptr || !office.getFrom("URE_MORE_TYPES", types) ||
        !office.getFrom("URE_MORE_SERVICES", services)) {
        throw unreadable("bootstrap file");
    }
    // The runtime's own file beside it adds its base libraries to these two lists, which it
    // takes from the runtime's settings before any file.
    rtl::Bootstrap::set("URE_MORE_TYPES", types);
    rtl::Bootstrap::set("URE_MORE_SERVICES", services);
    OUString const folder = fundamental.copy(0, fundamental.lastIndexOf('/') + 1);

    // A write to a pipe the office has closed must be an error of that call, not a signal that
    // ends the program without a word; a handler the program set itself is kept.
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        std::signal(SIGPIPE, SIG_IGN);
    }
    css::uno::Reference<css::uno::XComponentContext> context;
    try {
        context = cppu::defaultBootstrap_InitialComponentContext(folder + "unorc");
        css::uno::Reference<css::container::XHierarchicalNameAccess> typeLibrary;
        context->getValueByName("/singletons/com.sun.star.reflection.theTypeDescriptionManager") >>=
            typeLibrary;
        if (typeLibrary.is() && typeLibrary->hasByHierarchicalName(OfficeType)) {
            return context;
        }
    } catch (const css::uno::Exception&) {
    }
    // Without the office's types, the first call that carries one would crash the program.
    throw unreadable("type library");
}

} // namespace

std::string LocalUnoRuntime::BootstrapFile() {
    char const* chosen = std::getenv("URE_BOOTSTRAP");
    return FileUrlOf(chosen != nullptr && *chosen != '\0' ? chosen : SLIDEVANE3_FUNDAMENTALRC);
}

css::uno::Reference<css::uno::XComponentContext> LocalUnoRuntime::Context() {
    static css::uno::Reference<css::uno::XComponentContext> const context = Make();
    return context;
}

} // namespace slidevane
