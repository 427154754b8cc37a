#include "TemplateLoader.h"

#include "RefusingInteractionHandler.h"
#include "TemplateRefused.h"
#include "adapters/posix/CompoundFileReader.h"
#include "adapters/posix/RegularFile.h"
#include "platform/RuntimeError.h"

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/frame/FrameSearchFlag.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <map>
#include <optional>
#include <rtl/ref.hxx>
#include <utility>
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
constexpr sal_Int16 NeverExecuteMacros = 0;
constexpr sal_Int16 TitleSlideLayout = 0;

// The office reads the file itself; what can be known here is said here, with the reason the
// office could not give: a folder, a pipe or a device is not a template, and the office would
// wait on a pipe for ever. The rules are those of every file the program reads.
void RequireReadableFile(const std::string& nativePath, const RegularFile& file) {
    switch (file.status()) {
    case RegularFile::Status::Open:
        break;
    case RegularFile::Status::Unreadable:
        throw TemplateRefused(nativePath, "it " + file.problem());
    case RegularFile::Status::Missing:
    case RegularFile::Status::NotRegular:
    case RegularFile::Status::TooLarge:
        throw TemplateRefused(nativePath, "it is " + file.problem());
    }
    if (file.size() == 0) {
        throw TemplateRefused(nativePath, "it is empty");
    }
}

// A PowerPoint 97-2003 file protected by a password says so in the first record of its
// "Current User" stream, whose header token is 0xF3D1C4DF instead of 0xE391C05F. The office
// reads no such file, and fails on it without asking for a password, so the reason is found
// here, before the office is asked anything.
bool ProtectedPowerPoint97(RegularFile& file) {
    CompoundFileReader compound(
        [&file](std::uint64_t offset, std::size_t count, std::string& bytes) {
            return file.readAt(offset, count, bytes);
        },
        file.size());
    if (!compound.Valid()) {
        return false;
    }
    // The record header (version, type 0x0FF6, length), the atom's size, then the token.
    std::optional<std::string> const user = compound.StreamStart(u"Current User", 16);
    return user && user->size() == 16 && user->compare(2, 2, "\xF6\x0F") == 0 &&
           user->compare(12, 4, "\xDF\xC4\xD1\xF3") == 0;
}

std::string WhyRefused(RefusingInteractionHandler::Question asked) {
    switch (asked) {
    case RefusingInteractionHandler::Question::Password:
        return "it is protected by a password";
    case RefusingInteractionHandler::Question::Repair:
        return "it is damaged";
    case RefusingInteractionHandler::Question::Other:
    case RefusingInteractionHandler::Question::None:
        break;
    }
    return "the office could not read it";
}

// A document of the load is closed on every way out but success.
class ClosingGuard {
public:
    explicit ClosingGuard(Reference<css::uno::XInterface> document)
        : document_(std::move(document)) {}
    ~ClosingGuard() {
        if (document_.is()) {
            TemplateLoader::Close(document_);
        }
    }
    ClosingGuard(const ClosingGuard&) = delete;
    ClosingGuard& operator=(const ClosingGuard&) = delete;
    void Release() { document_.clear(); }

private:
    Reference<css::uno::XInterface> document_;
};

} // namespace

TemplateLoader::TemplateLoader(OfficeConnection& office) : office_(office) {}

Reference<css::uno::XInterface> TemplateLoader::Load(const std::string& nativePath) {
    {
        RegularFile file(nativePath);
        RequireReadableFile(nativePath, file);
        if (ProtectedPowerPoint97(file)) {
            throw TemplateRefused(nativePath,
                                  WhyRefused(RefusingInteractionHandler::Question::Password));
        }
    }
    rtl::Reference<RefusingInteractionHandler> const refusing(new RefusingInteractionHandler);

    css::uno::Sequence<css::beans::PropertyValue> const descriptor = Detect(nativePath);
    OUString filter;
    uno::Find(descriptor, "FilterName") >>= filter;
    if (!IsPresentationFilter(filter)) {
        throw TemplateRefused(nativePath, "it is not a presentation");
    }

    // Kept as the office hands it over: every use asks for its own interface anyway.
    Reference<css::uno::XInterface> const presentation = office_.Create(PresentationService);
    ClosingGuard closing(presentation);
    // What the detection found (the file's stream among it) goes on to the load, as when the
    // office opens a file itself.
    css::uno::Sequence<css::beans::PropertyValue> const loadArguments = uno::Merged(
        {{"AsTemplate", Any(true)},
         {"MacroExecutionMode", Any(NeverExecuteMacros)},
         {"InteractionHandler", Any(Reference<css::task::XInteractionHandler>(refusing.get()))}},
        descriptor, {"ReadOnly"});
    try {
        Reference<css::frame::XLoadable>(presentation, UNO_QUERY_THROW)->load(loadArguments);
    } catch (const css::uno::RuntimeException&) {
        throw; // the office or the link failed, not the file
    } catch (const css::uno::Exception&) {
        throw TemplateRefused(nativePath, WhyRefused(refusing->Asked()));
    }
    // The user starts from a fresh, unmodified presentation with nothing of its making to undo:
    // the replacement of the slides is kept out of the undo stack rather than recorded (with
    // copies of the slides it removes) and thrown away.
    Reference<css::document::XUndoManager> const undo =
        Reference<css::document::XUndoManagerSupplier>(presentation, UNO_QUERY_THROW)
            ->getUndoManager();
    undo->lock();
    ReplaceSlides(presentation);
    undo->unlock();
    Reference<css::util::XModifiable>(presentation, UNO_QUERY_THROW)->setModified(false);
    closing.Release();
    return presentation;
}

void TemplateLoader::Show(const Reference<css::uno::XInterface>& presentation,
                          const std::string& frameName) {
    // The frame is made under its name before anything is put into it, so that a window the
    // office finishes after the program stopped waiting can still be found. It is shown before
    // the presentation is put into it, as the office shows the frame of a document it opens
    // itself: the frame then gets its toolbars, panes and sidebar together with the document.
    // Filled while hidden, it came up without them and was laid out again with them a third
    // of a second later, when the office got round to it. A new window comes up in front of
    // the office's others.
    Reference<css::frame::XFrame> const frame =
        office_.Desktop()->findFrame(ToUno(frameName), css::frame::FrameSearchFlag::CREATE);
    if (!frame.is()) {
        throw css::uno::RuntimeException("the office could not make a window");
    }
    try {
        frame->getContainerWindow()->setVisible(true);
        Reference<css::lang::XComponent> const shown =
            Reference<css::frame::XComponentLoader>(frame, UNO_QUERY_THROW)
                ->loadComponentFromURL(presentation.is() ? OUString("private:object")
                                                         : OUString("private:factory/simpress"),
                                       "_self", 0,
                                       presentation.is()
                                           ? Properties({{"Model", Any(presentation)}})
                                           : Properties({}));
        if (!shown.is()) {
            throw css::uno::RuntimeException("the office could not give the presentation a window");
        }
    } catch (...) {
        Close(frame);
        throw;
    }
}

css::uno::Sequence<css::beans::PropertyValue>
TemplateLoader::Detect(const std::string& nativePath) {
    Reference<css::document::XTypeDetection> const detection =
        office_.Link()->Service<css::document::XTypeDetection>(
            "com.sun.star.document.TypeDetection");
    css::uno::Sequence<css::beans::PropertyValue> descriptor =
        Properties({{"URL", Any(uno::FileUrl(nativePath))}, {"ReadOnly", Any(true)}});
    OUString const type = detection->queryTypeByDescriptor(descriptor, true);
    if (type.isEmpty()) {
        throw TemplateRefused(nativePath, "the office does not know its format");
    }
    OUString filter;
    uno::Find(descriptor, "FilterName") >>= filter;
    if (filter.isEmpty()) {
        Reference<css::container::XNameAccess> const types(detection, UNO_QUERY_THROW);
        css::uno::Sequence<css::beans::PropertyValue> typeProperties;
        types->getByName(type) >>= typeProperties;
        uno::Find(typeProperties, "PreferredFilter") >>= filter;
        if (filter.isEmpty()) {
            throw TemplateRefused(nativePath, "the office has no way to read it");
        }
        descriptor = uno::Merged({{"FilterName", Any(filter)}}, descriptor);
    }
    return descriptor;
}

bool TemplateLoader::IsPresentationFilter(const OUString& filter) {
    // A text document read by a presentation's importer would come out as an empty
    // presentation, not as an error. The office's filters do not change while it runs, so
    // each is asked about once per link.
    std::string const key = "document of filter " + uno::FromUno(filter);
    std::map<std::string, std::string>& facts = office_.Link()->Facts();
    auto known = facts.find(key);
    if (known == facts.end()) {
        Reference<css::container::XNameAccess> const filters =
            office_.Link()->Service<css::container::XNameAccess>(
                "com.sun.star.document.FilterFactory");
        css::uno::Sequence<css::beans::PropertyValue> filterProperties;
        filters->getByName(filter) >>= filterProperties;
        OUString service;
        uno::Find(filterProperties, "DocumentService") >>= service;
        known = facts.emplace(key, uno::FromUno(service)).first;
    }
    return known->second == PresentationService;
}

void TemplateLoader::ReplaceSlides(const Reference<css::uno::XInterface>& presentation) {
    // The template's sample slides are not part of its design: one new title slide on the
    // first master takes their place. A new slide takes the master of the slide it follows,
    // and the office gives that master the placeholders a slide needs; so the first sample is
    // moved onto the first master before the new slide follows it, and no other master is
    // touched.
    Reference<css::drawing::XDrawPages> const slides =
        Reference<css::drawing::XDrawPagesSupplier>(presentation, UNO_QUERY_THROW)->getDrawPages();
    // Pages come as what they are; taking them so asks the office nothing more.
    Reference<css::drawing::XDrawPage> firstMaster;
    Reference<css::drawing::XMasterPagesSupplier>(presentation, UNO_QUERY_THROW)
        ->getMasterPages()
        ->getByIndex(0) >>= firstMaster;
    sal_Int32 const samples = slides->getCount();
    Reference<css::drawing::XDrawPage> firstSample;
    slides->getByIndex(0) >>= firstSample;
    if (!firstMaster.is() || !firstSample.is()) {
        throw css::uno::RuntimeException("the presentation has no slide or no master");
    }
    Reference<css::drawing::XMasterPageTarget>(firstSample, UNO_QUERY_THROW)
        ->setMasterPage(firstMaster);
    Reference<css::drawing::XDrawPage> const fresh = slides->insertNewByIndex(0);
    Reference<css::beans::XPropertySet>(fresh, UNO_QUERY_THROW)
        ->setPropertyValue("Layout", Any(TitleSlideLayout));
    slides->remove(firstSample);
    // The new slide is first now; the other samples follow it.
    for (sal_Int32 i = 1; i < samples; ++i) {
        Reference<css::drawing::XDrawPage> sample;
        slides->getByIndex(1) >>= sample;
        slides->remove(sample);
    }
}

void TemplateLoader::Close(const Reference<css::uno::XInterface>& document) {
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
