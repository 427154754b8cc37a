#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>
#include <string>

// The UNO runtime inside this process: the component context through which the program
// connects to an office, with the office's type library. It is bootstrapped from the office's own
// bootstrap file named explicitly, read through a handle of its own, so that it depends neither
// on the environment the program was started with nor on which code of the process touched the
// runtime's bootstrap settings first. A URE_BOOTSTRAP the user set on purpose names that file
// instead.
//
// Owns: the one local context of the process, made on first use. It does not connect to any
// office and changes nothing in the environment that a started office would inherit.
namespace slidevane {

class LocalUnoRuntime {
public:
    // The context, made on the first call; throws RuntimeError (automation, "connect") when the
    // office's bootstrap file or type library cannot be read, rather than leaving a context that
    // would crash on the first call that carries an office type.
    static css::uno::Reference<css::uno::XComponentContext> Context();

    // The file URL of the office's bootstrap file that the context is made from.
    static std::string BootstrapFile();
};

} // namespace slidevane
