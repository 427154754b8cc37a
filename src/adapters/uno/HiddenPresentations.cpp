#include "HiddenPresentations.h"

#include "AbandonedFrames.h"
#include "TemplateLoader.h"
#include "shell/RuntimeError.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
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
    // Unique among this process's frames in the office, and telling whose frame it is.
    static int made = 0;
    auto slot = std::make_shared<Slot>();
    slot->frameName = "slidevane3_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    slots_.push_back(slot);
    return slot;
}

void HiddenPresentations::ShowAll() {
    try {
        office_->Call("Visible", [&] {
            if (AbandonedFrames::Any(office_->Link()->PipeName())) {
                AbandonedFrames::CloseFound(*office_);
            }
            for (const auto& slot : slots_) {
                if (slot->shown || slot->failed) {
                    continue;
                }
                if (!slot->document.is()) {
                    TemplateLoader::Presentation made =
                        TemplateLoader(*office_).NewPlain(slot->frameName);
                    slot->document = made.document;
                    slot->frame = made.frame;
                }
                Reference<css::awt::XWindow> const window = slot->frame->getContainerWindow();
                if (!window.is()) {
                    throw css::uno::RuntimeException(
                        "the presentation's window was closed before it could be shown");
                }
                window->setVisible(true);
                slot->shown = true;
                if (Reference<css::awt::XTopWindow> const top{window, UNO_QUERY}; top.is()) {
                    top->toFront();
                }
            }
        });
    } catch (const RuntimeError&) {
        for (const auto& slot : slots_) {
            if (!slot->shown) {
                GiveUp(*slot);
            }
        }
        throw;
    }
}

void HiddenPresentations::GiveUp(Slot& slot) {
    if (!slot.document.is()) {
        return;
    }
    if (!office_->Lost()) {
        try {
            office_->Call("Close", [&] { TemplateLoader::Close(slot.document); });
        } catch (const RuntimeError&) {
            // Not answering now: left for a later call to close.
        }
    }
    if (office_->Lost()) {
        AbandonedFrames::Remember(office_->Link()->PipeName(), slot.frameName);
    }
    slot.document.clear();
    slot.frame.clear();
}

} // namespace slidevane
