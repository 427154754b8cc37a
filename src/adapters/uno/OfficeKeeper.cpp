#include "OfficeKeeper.h"

#include "OfficeConnection.h"
#include "OfficePipes.h"
#include "TemplateLoader.h"
#include "UnoValues.h"

#include <cerrno>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XFramesSupplier.hpp>
#include <functional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace slidevane {

using namespace std::chrono_literals;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    auto const end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

} // namespace

std::string OfficeKeeper::Run(int tie) {
    char buffer[64];
    ssize_t got;
    do {
        got = read(tie, buffer, sizeof buffer);
    } while (got > 0 || (got < 0 && errno == EINTR));
    return EndUnlessInUse();
}

bool OfficeKeeper::HoldsDocuments() {
    std::shared_ptr<OfficeConnection> office =
        OfficeConnection::TryConnect(settings_.pipeName, 10s, 10s);
    if (!office) {
        return false;
    }
    // Every document is in a frame of the desktop; the frames the program readies the office in
    // are its own, whatever state their document is in.
    bool holds = false;
    auto const own = [&] {
        std::vector<Reference<css::frame::XFrame>> found;
        holds = false;
        office->Call("documents", [&] {
            Reference<css::container::XIndexAccess> const frames(
                Reference<css::frame::XFramesSupplier>(office->Desktop(), UNO_QUERY_THROW)
                    ->getFrames(),
                UNO_QUERY_THROW);
            for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
                Reference<css::frame::XFrame> frame;
                frames->getByIndex(i) >>= frame;
                if (frame.is() && uno::FromUno(frame->getName()).starts_with(OwnFramePrefix)) {
                    found.push_back(frame);
                } else {
                    holds = holds || frame.is();
                }
            }
        });
        return found;
    };
    std::vector<Reference<css::frame::XFrame>> readied = own();
    // The office stays with the user's documents, and loses what the program readied it with.
    // A program that ended while it readied the office may have left a document on its way in;
    // it is waited for.
    for (int round = 0; holds && !readied.empty() && round < 10; ++round) {
        office->Call("tidy", [&] {
            for (const Reference<css::frame::XFrame>& frame : readied) {
                TemplateLoader::Close(frame);
            }
        });
        std::this_thread::sleep_for(300ms);
        readied = own();
    }
    return holds;
}

std::string OfficeKeeper::EndUnlessInUse() {
    OfficeGroup const& group = settings_.group;
    std::string const pipe = OfficePipes::Named(settings_.pipeName);
    // An office still starting is waited for: it is asked, like any other, whether it is used.
    if (!WaitUntil([&] { return !group.Alive() || OfficePipes::Listening(pipe); },
                   settings_.startDeadline)) {
        group.Kill();
        return "killed";
    }
    if (!group.Alive()) {
        return "left";
    }
    try {
        if (HoldsDocuments()) {
            return "left";
        }
    } catch (const std::exception&) {
        // An office that cannot say whether it holds a document may hold one of the user's.
        return "left";
    }
    try {
        std::shared_ptr<OfficeConnection> office =
            OfficeConnection::TryConnect(settings_.pipeName, 10s, 10s);
        if (office) {
            office->Call("terminate", [&] { office->Desktop()->terminate(); });
        }
    } catch (const std::exception&) {
        // An office that closes the connection while it ends has done what it was asked.
    }
    if (WaitUntil([&] { return !group.Alive(); }, settings_.endDeadline)) {
        return "ended";
    }
    group.Kill();
    WaitUntil([&] { return !group.Alive(); }, 2s);
    OfficePipes::RemoveIfStale(pipe);
    OfficePipes::RemoveIfStale(OfficePipes::OfProfile(settings_.profileUrl));
    return "killed";
}

} // namespace slidevane
