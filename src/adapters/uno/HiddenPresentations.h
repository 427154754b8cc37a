#pragma once

#include "OfficeConnection.h"

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <memory>
#include <string>
#include <vector>

// The presentations added through one application object, hidden until the application is made
// visible. Each has a slot from the moment it is added; the slot gets its document when its
// template is applied (or, never given one, when it is shown) and a frame name of its own, by
// which the office's window for it can be found again.
//
// Owns: the slots and their references to the documents, not the documents: a shown document
// belongs to the user. A document that can no longer be shown (showing failed, or the office
// stopped answering) is closed, or its frame is left to AbandonedFrames, so that no window made
// by the program stays hidden in the office.
namespace slidevane {

class HiddenPresentations {
public:
    struct Slot {
        std::string frameName;
        css::uno::Reference<css::frame::XModel> document;
        css::uno::Reference<css::frame::XFrame> frame;
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
