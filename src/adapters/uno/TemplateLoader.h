#pragma once

#include "OfficeConnection.h"
#include "UnoValues.h"

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/uno/XInterface.hpp>
#include <string>

// Makes a new, untitled presentation from a template file the way the office starts a document
// from a template itself: the office reads the file in place and the template's own slides give
// way to one title slide on its first master. The presentation has no window until it is shown:
// removing slides under a hidden view leaves the office with a stale event that brings it down
// when the presentation is later closed, and a presentation with no window is never left hidden
// in the office whatever happens to the program.
//
// Owns: the checks of the file and the reading of it, and every object of one load until it
// returns; on failure nothing of the load is left in the office. It does not resolve catalogue
// paths, or close presentations it has handed over.
namespace slidevane {

class TemplateLoader {
public:
    explicit TemplateLoader(OfficeConnection& office);

    // Runs inside a call on `office`. Throws TemplateRefused, naming the template and saying
    // why, when it cannot be opened as a presentation; other office failures propagate.
    css::uno::Reference<css::uno::XInterface> Load(const std::string& nativePath);

    // Shows a window of its own in a frame named `frameName` and puts a presentation made by
    // Load into it; with no presentation, a new plain one. On failure the frame is closed.
    void Show(const css::uno::Reference<css::uno::XInterface>& presentation,
              const std::string& frameName);

    // Closes a document of this office, ignoring a document that is already gone.
    static void Close(const css::uno::Reference<css::uno::XInterface>& document);

private:
    // The office's description of the file, with the filter that reads it.
    css::uno::Sequence<css::beans::PropertyValue> Detect(const std::string& nativePath);
    bool IsPresentationFilter(const OUString& filter);
    static void ReplaceSlides(const css::uno::Reference<css::uno::XInterface>& presentation);

    OfficeConnection& office_;
};

} // namespace slidevane
