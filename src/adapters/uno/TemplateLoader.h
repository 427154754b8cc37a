#pragma once

#include "OfficeConnection.h"
#include "UnoValues.h"

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <string>

// Makes a new, untitled presentation from a template file the way the office starts a document
// from a template itself: the office reads the file in place, the template's own slides give
// way to one title slide on its first master, and the presentation gets a hidden window of its
// own in a frame of the given name. The slides are replaced before the presentation has a view:
// removing slides under a hidden view leaves the office with a stale event that brings it down
// when the presentation is later closed.
//
// Owns: the checks of the file and the reading of it, and every object of one load until it
// returns; on failure nothing of the load is left in the office. It does not resolve catalogue
// paths, show windows, or close presentations it has handed over.
namespace slidevane {

class TemplateLoader {
public:
    struct Presentation {
        css::uno::Reference<css::frame::XModel> document;
        css::uno::Reference<css::frame::XFrame> frame;
    };

    explicit TemplateLoader(OfficeConnection& office);

    // Runs inside a call on `office`. Throws RuntimeError naming the template and saying why
    // when it cannot be opened as a presentation; other office failures propagate.
    Presentation Load(const std::string& nativePath, const std::string& frameName);

    // A new plain presentation in a hidden window, for a presentation that was never given a
    // template before it is shown.
    Presentation NewPlain(const std::string& frameName);

    // Closes a document of this office, ignoring a document that is already gone.
    static void Close(const css::uno::Reference<css::uno::XInterface>& document);

private:
    OUString DetectFilter(const OUString& url, const std::string& nativePath);
    bool IsPresentationFilter(const OUString& filter);
    static void ReplaceSlides(const css::uno::Reference<css::frame::XModel>& presentation);
    static void Settle(const css::uno::Reference<css::frame::XModel>& presentation);
    Presentation AttachHiddenWindow(const css::uno::Reference<css::frame::XModel>& presentation,
                                    const std::string& frameName);
    // The office does not name a frame it makes for a load; the name is what finds it again.
    static Presentation Named(const css::uno::Reference<css::frame::XModel>& document,
                              const std::string& frameName);

    OfficeConnection& office_;
};

} // namespace slidevane
