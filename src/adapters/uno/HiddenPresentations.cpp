#include "HiddenPresentations.h"

#include "AbandonedFrames.h"
#include "TemplateLoader.h"
#include "platform/RuntimeError.h"

#include <unistd.h>

namespace slidevane {

using css::uno::Reference;
using css::uno::UNO_QUERY;

HiddenPresentations::HiddenPresentations(std::shared_ptr<OfficeConnection> office)
    : office_(std::move(office)) {}

HiddenPresentations::~HiddenPresentations() {
    for (const auto& slot : slots_) {
        if (!slot->shown) {
            GiveUp(*slot);
        }
    }
}

std::shared_ptr<HiddenPresentations::Slot> HiddenPresentations::Add() {
    static int made = 0;
    auto slot = std::make_shared<Slot>();
    slot->frameName = "slidevane3_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    slots_.push_back(slot);
    return slot;
}

void HiddenPresentations::ShowAll() {
    std::shared_ptr<Slot> showing;
    try {
        office_->Call("Visible", [&] {
            if (AbandonedFrames::Any(office_->Link()->PipeName())) {
                AbandonedFrames::CloseFound(*office_);
            }
            for (const auto& slot : slots_) {
                if (slot->shown || slot->failed) {
                    continue;
                }
                showing = slot;
                TemplateLoader(*office_).Show(slot->document, slot->frameName);
                slot->shown = true;
            }
        });
    } catch (const RuntimeError&) {
        if (showing && !showing->shown && office_->Lost()) {
            AbandonedFrames::Remember(office_->Link()->PipeName(), showing->frameName);
        }
        for (const auto& slot : slots_) {
            if (!slot->shown) {
                GiveUp(*slot);
            }
        }
        throw;
    }
}

void HiddenPresentations::GiveUp(Slot& slot) {
    if (slot.document.is() && !office_->Lost()) {
        try {
            office_->Call("Close", [&] { TemplateLoader::Close(slot.document); });
        } catch (const RuntimeError&) {
            // Not answering now; the document has no window, and goes with the office.
        }
    }
    slot.document.clear();
}

} // namespace slidevane
