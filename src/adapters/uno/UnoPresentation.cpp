#include "UnoPresentation.h"

#include "TemplateDesignImporter.h"
#include "adapters/posix/NativePath.h"
#include "shell/RuntimeError.h"

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

UnoPresentation::UnoPresentation(std::shared_ptr<OfficeConnection> office,
                                 std::shared_ptr<HiddenPresentations> hidden,
                                 css::uno::Reference<css::frame::XModel> document)
    : office_(std::move(office)), hidden_(std::move(hidden)), document_(std::move(document)) {}

void UnoPresentation::ApplyTemplate(const std::string& fileName) {
    if (!document_.is()) {
        throw RuntimeError::Automation("ApplyTemplate", "the presentation no longer exists");
    }
    try {
        std::string const path = NativeTemplatePath(fileName);
        office_->Call("ApplyTemplate", [&] {
            css::uno::Reference<css::frame::XModel> const designed =
                TemplateDesignImporter(*office_).Apply(document_, path);
            if (designed != document_) {
                hidden_->Replace(document_, designed);
                TemplateDesignImporter::Close(document_);
                document_ = designed;
            }
        });
    } catch (...) {
        Abandon();
        throw;
    }
}

void UnoPresentation::Abandon() {
    try {
        office_->Call("ApplyTemplate", [&] { TemplateDesignImporter::Close(document_); });
    } catch (const RuntimeError&) {
        // The office is gone or not answering; the error already on its way says so.
    }
    hidden_->Remove(document_);
    document_.clear();
}

} // namespace slidevane
