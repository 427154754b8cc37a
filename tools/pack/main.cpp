// slidevane3-pack: makes a template pack and its registry file from a folder of templates.
#include "InterruptWatch.h"
#include "PackCommandLine.h"
#include "PackMaker.h"

#include <csignal>
#include <iostream>
#include <stdexcept>
#include <system_error>

int main(int argc, char** argv) try {
    using namespace slidevane;
    // First, before any thread exists, so that every thread leaves the signals to the watch.
    InterruptWatch interrupts;

    PackCommandLine line;
    try {
        line = PackCommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "slidevane3-pack: " << error.what() << "\n"
                  << "Usage: slidevane3-pack [--force] [--registry FILE] SOURCE DEST "
                     "(--help for more)\n";
        return 2;
    }
    if (line.help) {
        std::cout << PackCommandLine::Help();
        return 0;
    }

    int const status = PackMaker(line, interrupts, std::cout, std::cerr).Run();
    if (int const signal = interrupts.Interrupted(); signal != 0 && status != PackMaker::Written) {
        // Ended by the signal, as whoever sent it expects.
        std::signal(signal, SIG_DFL);
        sigset_t unblocked;
        sigemptyset(&unblocked);
        sigaddset(&unblocked, signal);
        std::raise(signal);
        pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
    }
    return status;
} catch (const std::system_error& error) {
    // Signals cannot be watched: nothing was started.
    std::cerr << "slidevane3-pack: " << error.what() << "\n";
    return 1;
}
