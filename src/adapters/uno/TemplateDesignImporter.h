#pragma once

#include "OfficeConnection.h"
#include "UnoValues.h"

#include <com/sun/star/frame/XModel.hpp>
#include <string>

// Gives an existing presentation the design of a template file: its masters, backgrounds,
// slide size and presentation styles, without the template's sample slides. ODF templates are
// imported directly by the office's own styles importer; other presentation formats are first
// converted by the office into a temporary ODF template. When the importer itself fails, a new
// document made from the template stands in for the presentation.
//
// Owns: the documents and the temporary file of one import, closed and deleted before it
// returns. It does not resolve paths, show windows, or close the target presentation.
namespace slidevane {

class TemplateDesignImporter {
public:
    explicit TemplateDesignImporter(OfficeConnection& office);

    // Returns the document that now carries the design: `presentation` itself, or a new hidden
    // document made from the template, which the caller then uses in its place. Throws
    // (UNO exceptions, RuntimeError) when the file is not a presentation the office can read.
    css::uno::Reference<css::frame::XModel>
    Apply(const css::uno::Reference<css::frame::XModel>& presentation,
          const std::string& nativePath);

    // Closes a document of this office, ignoring a document that is already gone.
    static void Close(const css::uno::Reference<css::uno::XInterface>& document);

private:
    struct Format {
        OUString filter;
        bool odfPackage = false;
    };

    Format Detect(const OUString& url, const std::string& nativePath);
    void ConvertToOdf(const OUString& url, const Format& format, const OUString& target);
    void ImportStyles(const css::uno::Reference<css::frame::XModel>& presentation,
                      const OUString& odfUrl);
    void DropUnusedMasters(const css::uno::Reference<css::frame::XModel>& presentation);
    void KeepLastPlaceholders(const css::uno::Reference<css::frame::XModel>& presentation);
    css::uno::Reference<css::frame::XModel> LoadAsNewDocument(const OUString& url,
                                                              const Format& format);
    static void Settle(const css::uno::Reference<css::frame::XModel>& presentation);

    OfficeConnection& office_;
};

} // namespace slidevane
