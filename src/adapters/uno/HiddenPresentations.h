#pragma once

#include "OfficeConnection.h"

#include <com/sun/star/uno/XInterface.hpp>
#include <memory>
#include <string>
#include <vector>

// The presentations added through one application object, not shown until the application is
// made visible. Each has a slot from the moment it is added; the slot gets its document, with
// no window yet, when its template is applied, and the window when the application is shown.
//
// Owns: the slots and their references to the documents, not the documents: a shown document
// belongs to the user. A document that is not shown when its application goes (showing failed,
// or the double-click ended early) is closed, so that the program leaves nothing of its own in
// the office that the user cannot see; a window the office may still be making when it stops
// answering is left to AbandonedFrames.
namespace slidevane {

class HiddenPresentations {
public:
    struct Slot {
        // The name of the frame its window gets: unique in the office, and telling whose it is.
        std::string frameName;
        css::uno::Reference<css::uno::XInterface> document;
        bool shown = false;
        // Its template could not be applied: there is nothing to show for it.
        bool failed = false;
    };

    explicit HiddenPresentations(std::shared_ptr<OfficeConnection> office);
    // Whatever was never shown is given up: the program keeps nothing in the office that the
    // user cannot see.
    ~HiddenPresentations();
    HiddenPresentations(const HiddenPresentations&) = delete;
    HiddenPresentations& operator=(const HiddenPresentations&) = delete;

    std::shared_ptr<Slot> Add();

    // Shows and raises the window of every slot not shown yet, making a plain presentation for
    // a slot that was never given a template. On failure the slots not shown are given up and the
    // error propagates.
    void ShowAll();

    // Gives up the document of a slot that was never shown: closed when the office answers,
    // else left for AbandonedFrames to close once the office can be reached again.
    void GiveUp(Slot& slot);

    const std::shared_ptr<OfficeConnection>& Office() const { return office_; }

private:
    std::shared_ptr<OfficeConnection> office_;
    std::vector<std::shared_ptr<Slot>> slots_;
};

} // namespace slidevane
