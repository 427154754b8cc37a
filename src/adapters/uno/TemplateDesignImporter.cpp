#include "TemplateDesignImporter.h"

#include "TemporaryTemplateFile.h"
#include "UnoValues.h"
#include "shell/RuntimeError.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XImporter.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/embed/ElementModes.hpp>
#include <com/sun/star/embed/StorageFactory.hpp>
#include <com/sun/star/embed/XStorage.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/XStream.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/xml/sax/XFastParser.hpp>
#include <filesystem>
#include <map>
#include <osl/file.hxx>
#include <vector>

namespace slidevane {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using uno::Properties;
using uno::ToUno;

namespace {

constexpr char PresentationService[] = "com.sun.star.presentation.PresentationDocument";
constexpr char PlaceholderPrefix[] = "com.sun.star.presentation.";
constexpr sal_Int16 NeverExecuteMacros = 0;
constexpr sal_Int16 TitleSlideLayout = 0;

OUString FileUrl(const std::string& nativePath) {
    OUString url;
    std::string const absolute = std::filesystem::absolute(nativePath).string();
    if (osl::FileBase::getFileURLFromSystemPath(ToUno(absolute), url) != osl::FileBase::E_None) {
        throw css::uno::RuntimeException("cannot express " + ToUno(absolute) + " as a URL");
    }
    return url;
}

// A document this importer opened for itself is closed on every way out.
class ClosingGuard {
public:
    explicit ClosingGuard(Reference<css::uno::XInterface> document)
        : document_(std::move(document)) {}
    ~ClosingGuard() { TemplateDesignImporter::Close(document_); }
    ClosingGuard(const ClosingGuard&) = delete;
    ClosingGuard& operator=(const ClosingGuard&) = delete;

private:
    Reference<css::uno::XInterface> document_;
};

// Disposes an office-side helper on every way out; the storage keeps the template file open.
class DisposingGuard {
public:
    explicit DisposingGuard(Reference<css::uno::XInterface> object) : object_(std::move(object)) {}
    ~DisposingGuard() {
        try {
            if (Reference<css::lang::XComponent> component{object_, UNO_QUERY}; component.is()) {
                component->dispose();
            }
        } catch (const css::uno::Exception&) {
        }
    }
    DisposingGuard(const DisposingGuard&) = delete;
    DisposingGuard& operator=(const DisposingGuard&) = delete;

private:
    Reference<css::uno::XInterface> object_;
};

} // namespace

TemplateDesignImporter::TemplateDesignImporter(OfficeConnection& office) : office_(office) {}

Reference<css::frame::XModel>
TemplateDesignImporter::Apply(const Reference<css::frame::XModel>& presentation,
                              const std::string& nativePath) {
    OUString const url = FileUrl(nativePath);
    Format const format = Detect(url, nativePath);
    try {
        if (format.odfPackage) {
            ImportStyles(presentation, url);
        } else {
            TemporaryTemplateFile const converted(".otp");
            OUString const convertedUrl = FileUrl(converted.Path());
            ConvertToOdf(url, format, convertedUrl);
            ImportStyles(presentation, convertedUrl);
        }
        Settle(presentation);
        return presentation;
    } catch (const css::uno::Exception& importFailure) {
        // The importer is not a published interface of the office; should it ever refuse, the
        // office's own way of starting from a template still gives the same design.
        try {
            Reference<css::frame::XModel> replacement = LoadAsNewDocument(url, format);
            Settle(replacement);
            return replacement;
        } catch (const css::uno::Exception&) {
            throw importFailure;
        }
    }
}

TemplateDesignImporter::Format TemplateDesignImporter::Detect(const OUString& url,
                                                              const std::string& nativePath) {
    Reference<css::document::XTypeDetection> const detection(
        office_.Create("com.sun.star.document.TypeDetection"), UNO_QUERY_THROW);
    css::uno::Sequence<css::beans::PropertyValue> descriptor =
        Properties({{"URL", Any(url)}, {"ReadOnly", Any(true)}});
    OUString const type = detection->queryTypeByDescriptor(descriptor, true);
    auto const notPresentation = [&] {
        return RuntimeError::Automation("ApplyTemplate",
                                        nativePath + " is not a presentation or template");
    };
    if (type.isEmpty()) {
        throw notPresentation();
    }
    Format format;
    uno::Find(descriptor, "FilterName") >>= format.filter;
    if (format.filter.isEmpty()) {
        Reference<css::container::XNameAccess> const types(detection, UNO_QUERY_THROW);
        css::uno::Sequence<css::beans::PropertyValue> typeProperties;
        types->getByName(type) >>= typeProperties;
        uno::Find(typeProperties, "PreferredFilter") >>= format.filter;
    }
    if (format.filter.isEmpty()) {
        throw notPresentation();
    }
    Reference<css::container::XNameAccess> const filters(
        office_.Create("com.sun.star.document.FilterFactory"), UNO_QUERY_THROW);
    css::uno::Sequence<css::beans::PropertyValue> filterProperties;
    filters->getByName(format.filter) >>= filterProperties;
    OUString service;
    uno::Find(filterProperties, "DocumentService") >>= service;
    if (!service.equalsAscii(PresentationService)) {
        throw notPresentation();
    }
    format.odfPackage = format.filter == "impress8" || format.filter == "impress8_template";
    return format;
}

void TemplateDesignImporter::ConvertToOdf(const OUString& url, const Format& format,
                                          const OUString& target) {
    Reference<css::frame::XComponentLoader> const loader(office_.Desktop(), UNO_QUERY_THROW);
    // Read-only: a lock file left beside the template by a killed office must not stop the load.
    Reference<css::lang::XComponent> const source =
        loader->loadComponentFromURL(url, "_blank", 0,
                                     Properties({{"Hidden", Any(true)},
                                                 {"ReadOnly", Any(true)},
                                                 {"PickListEntry", Any(false)},
                                                 {"MacroExecutionMode", Any(NeverExecuteMacros)},
                                                 {"FilterName", Any(format.filter)}}));
    if (!source.is()) {
        throw css::uno::RuntimeException("the office could not open " + url);
    }
    ClosingGuard const closing(source);
    Reference<css::frame::XStorable>(source, UNO_QUERY_THROW)
        ->storeToURL(target, Properties({{"FilterName", Any(OUString("impress8_template"))},
                                         {"Overwrite", Any(true)}}));
}

void TemplateDesignImporter::ImportStyles(const Reference<css::frame::XModel>& presentation,
                                          const OUString& odfUrl) {
    // The API marks the storage factory's interface as superseded, yet it is the only way to
    // open a package as a storage.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Reference<css::embed::XStorage> const storage(
        css::embed::StorageFactory::create(office_.Context())
            ->createInstanceWithArguments(
                uno::Arguments({Any(odfUrl), Any(css::embed::ElementModes::READ)})),
        UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    DisposingGuard const closeStorage(storage);
    // Pictures of the masters live in the template's package; the importer reaches them here.
    Reference<css::uno::XInterface> const pictures =
        office_.Create("com.sun.star.comp.Svx.GraphicImportHelper", uno::Arguments({Any(storage)}));
    DisposingGuard const closePictures(pictures);
    Reference<css::uno::XInterface> const importer = office_.Create(
        "com.sun.star.comp.Impress.XMLOasisStylesImporter", uno::Arguments({Any(pictures)}));

    DropUnusedMasters(presentation);
    Reference<css::document::XImporter>(importer, UNO_QUERY_THROW)
        ->setTargetDocument(Reference<css::lang::XComponent>(presentation, UNO_QUERY_THROW));
    Reference<css::io::XStream> const styles =
        storage->openStreamElement("styles.xml", css::embed::ElementModes::READ);
    css::xml::sax::InputSource source;
    source.aInputStream = styles->getInputStream();
    source.sSystemId = odfUrl;
    Reference<css::xml::sax::XFastParser>(importer, UNO_QUERY_THROW)->parseStream(source);
    KeepLastPlaceholders(presentation);
}

void TemplateDesignImporter::DropUnusedMasters(const Reference<css::frame::XModel>& presentation) {
    // The user's default template may bring extra masters; beside the template's they would
    // look like part of its design.
    Reference<css::drawing::XDrawPages> const masters =
        Reference<css::drawing::XMasterPagesSupplier>(presentation, UNO_QUERY_THROW)
            ->getMasterPages();
    Reference<css::drawing::XDrawPages> const slides =
        Reference<css::drawing::XDrawPagesSupplier>(presentation, UNO_QUERY_THROW)->getDrawPages();
    std::vector<Reference<css::drawing::XDrawPage>> used;
    for (sal_Int32 i = 0; i < slides->getCount(); ++i) {
        Reference<css::drawing::XMasterPageTarget> const slide(slides->getByIndex(i),
                                                               UNO_QUERY_THROW);
        used.push_back(slide->getMasterPage());
    }
    for (sal_Int32 i = masters->getCount() - 1; i >= 1; --i) {
        Reference<css::drawing::XDrawPage> const master(masters->getByIndex(i), UNO_QUERY_THROW);
        bool inUse = false;
        for (const auto& page : used) {
            inUse = inUse || page == master;
        }
        if (!inUse) {
            masters->remove(master);
        }
    }
}

void TemplateDesignImporter::KeepLastPlaceholders(
    const Reference<css::frame::XModel>& presentation) {
    // The importer re-creates a default placeholder beside each one the template brings; the
    // template's own comes last.
    auto const tidy = [](const Reference<css::drawing::XShapes>& page) {
        std::map<OUString, Reference<css::drawing::XShape>> last;
        std::vector<Reference<css::drawing::XShape>> doomed;
        for (sal_Int32 i = 0; i < page->getCount(); ++i) {
            Reference<css::drawing::XShape> const shape(page->getByIndex(i), UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
            // Superseded in the API, but the placeholder kind is known by no other name.
            OUString const type = shape->getShapeType();
#pragma GCC diagnostic pop
            if (!type.startsWithIgnoreAsciiCase(PlaceholderPrefix)) {
                continue;
            }
            if (auto const found = last.find(type); found != last.end()) {
                doomed.push_back(found->second);
            }
            last[type] = shape;
        }
        for (const auto& shape : doomed) {
            page->remove(shape);
        }
    };
    Reference<css::drawing::XDrawPages> const masters =
        Reference<css::drawing::XMasterPagesSupplier>(presentation, UNO_QUERY_THROW)
            ->getMasterPages();
    for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
        Reference<css::drawing::XShapes> const master(masters->getByIndex(i), UNO_QUERY_THROW);
        tidy(master);
        Reference<css::presentation::XPresentationPage> const withNotes(master, UNO_QUERY);
        if (withNotes.is()) {
            tidy(Reference<css::drawing::XShapes>(withNotes->getNotesPage(), UNO_QUERY_THROW));
        }
    }
}

Reference<css::frame::XModel> TemplateDesignImporter::LoadAsNewDocument(const OUString& url,
                                                                        const Format& format) {
    Reference<css::frame::XComponentLoader> const loader(office_.Desktop(), UNO_QUERY_THROW);
    Reference<css::frame::XModel> const document(
        loader->loadComponentFromURL(url, "_blank", 0,
                                     Properties({{"Hidden", Any(true)},
                                                 {"AsTemplate", Any(true)},
                                                 {"ReadOnly", Any(true)},
                                                 {"PickListEntry", Any(false)},
                                                 {"MacroExecutionMode", Any(NeverExecuteMacros)},
                                                 {"FilterName", Any(format.filter)}})),
        UNO_QUERY);
    if (!document.is()) {
        throw css::uno::RuntimeException("the office could not open " + url);
    }
    try {
        // The template's sample slides are not part of its design: keep one new title slide.
        Reference<css::drawing::XDrawPages> const slides =
            Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages();
        Reference<css::drawing::XDrawPage> const fresh = slides->insertNewByIndex(0);
        for (sal_Int32 i = slides->getCount() - 1; i >= 0; --i) {
            Reference<css::drawing::XDrawPage> const slide(slides->getByIndex(i), UNO_QUERY_THROW);
            if (slide != fresh) {
                slides->remove(slide);
            }
        }
        Reference<css::beans::XPropertySet>(fresh, UNO_QUERY_THROW)
            ->setPropertyValue("Layout", Any(TitleSlideLayout));
    } catch (...) {
        Close(document);
        throw;
    }
    return document;
}

void TemplateDesignImporter::Settle(const Reference<css::frame::XModel>& presentation) {
    // The user starts from a fresh, unmodified presentation: nothing of the import to undo.
    Reference<css::document::XUndoManagerSupplier>(presentation, UNO_QUERY_THROW)
        ->getUndoManager()
        ->clear();
    Reference<css::util::XModifiable>(presentation, UNO_QUERY_THROW)->setModified(false);
}

void TemplateDesignImporter::Close(const Reference<css::uno::XInterface>& document) {
    try {
        if (Reference<css::util::XCloseable> closeable{document, UNO_QUERY}; closeable.is()) {
            closeable->close(true);
        } else if (Reference<css::lang::XComponent> component{document, UNO_QUERY};
                   component.is()) {
            component->dispose();
        }
    } catch (const css::uno::Exception&) {
        // Already closed, vetoed with ownership passed to the vetoer, or the office is gone.
    }
}

} // namespace slidevane
