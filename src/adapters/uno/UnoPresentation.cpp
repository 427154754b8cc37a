#include "UnoPresentation.h"

#include "AbandonedFrames.h"
#include "TemplateLoader.h"
#include "adapters/posix/NativePath.h"
#include "platform/RuntimeError.h"

namespace slidevane {

namespace {

// The catalogue's path (backslashes, a drive letter perhaps, a stored NUL that ends it) is
// resolved where it leaves the platform-neutral core.
std::string NativeTemplatePath(const std::string& catalogued) {
    NativePath::Resolution const resolution = NativePath::fromEnvironment().resolve(catalogued);
    switch (resolution.status) {
    case NativePath::Status::Found:
        break;
    case NativePath::Status::FileMissing:
        throw RuntimeError::FileNotFound(catalogued);
    case NativePath::Status::FolderMissing:
        throw RuntimeError::PathNotFound(catalogued);
    }
    return resolution.path;
}

} // namespace

UnoPresentation::UnoPresentation(std::shared_ptr<HiddenPresentations> hidden,
                                 std::shared_ptr<HiddenPresentations::Slot> slot)
    : hidden_(std::move(hidden)), slot_(std::move(slot)) {}

void UnoPresentation::ApplyTemplate(const std::string& fileName) {
    if (slot_->shown) {
        throw RuntimeError::Automation("ApplyTemplate",
                                       "the presentation is shown; its design is the user's now");
    }
    std::string path;
    try {
        path = NativeTemplatePath(fileName);
    } catch (const RuntimeError&) {
        slot_->failed = true;
        throw;
    }
    OfficeConnection& office = *hidden_->Office();
    try {
        office.Call("ApplyTemplate", [&] {
            if (AbandonedFrames::Any(office.Link()->PipeName())) {
                AbandonedFrames::CloseFound(office);
            }
            // A second template replaces the first: the document is still hidden, so the user
            // only ever sees the design applied last.
            hidden_->GiveUp(*slot_);
            slot_->failed = true;
            slot_->document = TemplateLoader(office).Load(path);
            slot_->failed = false;
        });
    } catch (const RuntimeError&) {
        slot_->failed = true;
        throw;
    }
}

} // namespace slidevane
