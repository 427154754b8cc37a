#include "TemplateFixtures.h"

#include "TemplateLoader.h"
#include "TestOffice.h"
#include "UnoValues.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/FillStyle.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/embed/ElementModes.hpp>
#include <com/sun/star/embed/StorageFactory.hpp>
#include <com/sun/star/embed/XStorage.hpp>
#include <com/sun/star/embed/XTransactedObject.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/XStream.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace slidevane::testing {

namespace fs = std::filesystem;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using uno::Properties;
using uno::ToUno;

namespace {

Reference<css::beans::XPropertySet> Props(const Reference<css::uno::XInterface>& object) {
    return Reference<css::beans::XPropertySet>(object, UNO_QUERY_THROW);
}

void Paint(const Reference<css::uno::XInterface>& document,
           const Reference<css::drawing::XDrawPage>& master, const char* name,
           std::int32_t colour) {
    Reference<css::container::XNamed>(master, UNO_QUERY_THROW)->setName(ToUno(name));
    Reference<css::beans::XPropertySet> const background =
        Props(Reference<css::lang::XMultiServiceFactory>(document, UNO_QUERY_THROW)
                  ->createInstance("com.sun.star.drawing.Background"));
    background->setPropertyValue("FillStyle", Any(css::drawing::FillStyle_SOLID));
    background->setPropertyValue("FillColor", Any(colour));
    Props(master)->setPropertyValue("Background", Any(background));
}

void WriteEntry(const Reference<css::embed::XStorage>& storage, const char* name,
                const std::string& text) {
    Reference<css::io::XStream> const stream =
        storage->openStreamElement(ToUno(name), css::embed::ElementModes::READWRITE);
    Props(stream)->setPropertyValue("MediaType", Any(OUString("text/xml")));
    css::uno::Sequence<sal_Int8> bytes(reinterpret_cast<const sal_Int8*>(text.data()),
                                       static_cast<sal_Int32>(text.size()));
    stream->getOutputStream()->writeBytes(bytes);
    stream->getOutputStream()->closeOutput();
}

// A genuine ODF text package, written through the office's storage so no zip tool is needed.
void WriteTextDocument(OfficeConnection& office, const fs::path& file) {
    fs::remove(file);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Reference<css::embed::XStorage> const storage(
        css::embed::StorageFactory::create(office.Context())
            ->createInstanceWithArguments(uno::Arguments(
                {Any(ToUno(TestOffice::Url(file))), Any(css::embed::ElementModes::READWRITE)})),
        UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    Props(storage)->setPropertyValue("MediaType",
                                     Any(OUString("application/vnd.oasis.opendocument.text")));
    std::string const head =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<office:document-%s xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
        R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
        R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.3">)";
    auto const document = [&](const std::string& kind, const std::string& body) {
        std::string text = head;
        text.replace(text.find("%s"), 2, kind);
        return text + body + "</office:document-" + kind + ">";
    };
    WriteEntry(storage, "content.xml",
               document("content", "<office:body><office:text><text:p>A letter, not a "
                                   "presentation.</text:p></office:text></office:body>"));
    WriteEntry(storage, "styles.xml",
               document("styles", R"(<office:styles><style:style style:name="Standard")"
                                  R"( style:family="paragraph"/></office:styles>)"));
    Reference<css::embed::XTransactedObject>(storage, UNO_QUERY_THROW)->commit();
    Reference<css::lang::XComponent>(storage, UNO_QUERY_THROW)->dispose();
}

// The office writes no encrypted PowerPoint 97 file, and cannot read one. What sets such a file
// apart is its current-user record, whose header token says "encrypted" before any record is
// read: the fixture is the office's own .pot with that token, and its records as they were.
void MarkEncrypted97(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The CurrentUserAtom: record type 0x0FF6, its length, then size 0x14 and the token.
    std::string const plain("\x14\x00\x00\x00\x5F\xC0\x91\xE3", 8);
    std::size_t const at = bytes.find(plain);
    if (at == std::string::npos || at < 6 || bytes.compare(at - 6, 2, "\xF6\x0F") != 0 ||
        bytes.find(plain, at + 1) != std::string::npos) {
        throw std::runtime_error("no single current-user record in " + from.string());
    }
    bytes.replace(at + 4, 4, std::string("\xDF\xC4\xD1\xF3", 4));
    std::ofstream(to, std::ios::binary) << bytes;
}

} // namespace

TemplateFixtures TemplateFixtures::In(const fs::path& folder) {
    TemplateFixtures fixtures;
    fixtures.odfTemplate = folder / "Teal Design.otp";
    fixtures.powerPoint97 = folder / "Teal Design.pot";
    fixtures.powerPoint2007 = folder / "Teal Design.potx";
    fixtures.odfPresentation = folder / "Teal Deck.odp";
    fixtures.powerPoint97Presentation = folder / "Teal Deck.ppt";
    fixtures.powerPoint2007Presentation = folder / "Teal Deck.pptx";
    fixtures.garbage = folder / "Garbage.pot";
    fixtures.textDocument = folder / "Letter.odt";
    fixtures.passwordProtected = folder / "Locked Design.otp";
    fixtures.passwordProtected2007 = folder / "Locked Design.potx";
    fixtures.passwordProtected97 = folder / "Locked Design.pot";
    fixtures.truncatedOdf = folder / "Half Design.otp";
    fixtures.truncated97 = folder / "Half Design.pot";
    fixtures.emptyFile = folder / "Empty Design.potx";
    fixtures.folder = folder / "Folder Design.otp";
    fixtures.pipe = folder / "Pipe Design.pot";
    return fixtures;
}

TemplateFixtures TemplateFixtures::Make(OfficeConnection& office, const fs::path& folder) {
    fs::create_directories(folder);
    TemplateFixtures const fixtures = In(folder);
    office.Call("make fixtures", [&] {
        Reference<css::frame::XComponentLoader> const loader(office.Desktop(), UNO_QUERY_THROW);
        Reference<css::lang::XComponent> const document = loader->loadComponentFromURL(
            "private:factory/simpress", "_blank", 0, Properties({{"Hidden", Any(true)}}));
        struct Closer {
            Reference<css::lang::XComponent> document;
            ~Closer() { TemplateLoader::Close(document); }
        } const closer{document};

        Reference<css::drawing::XDrawPages> const masters =
            Reference<css::drawing::XMasterPagesSupplier>(document, UNO_QUERY_THROW)
                ->getMasterPages();
        Reference<css::drawing::XDrawPages> const slides =
            Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages();
        Reference<css::drawing::XDrawPage> const first(masters->getByIndex(0), UNO_QUERY_THROW);
        Paint(document, first, FirstMasterName, FirstMasterColour);
        Reference<css::drawing::XDrawPage> const second = masters->insertNewByIndex(1);
        Paint(document, second, SecondMasterName, SecondMasterColour);

        Reference<css::drawing::XDrawPage> const firstSlide(slides->getByIndex(0), UNO_QUERY_THROW);
        Props(firstSlide)->setPropertyValue("Width", Any(SlideWidth));
        Props(firstSlide)->setPropertyValue("Height", Any(SlideHeight));
        // Sample slides, which must not come along with the design.
        Reference<css::drawing::XShapes> const shapes(firstSlide, UNO_QUERY_THROW);
        if (shapes->getCount() > 0) {
            Reference<css::text::XText>(shapes->getByIndex(0), UNO_QUERY_THROW)
                ->setString("Sample title");
        }
        Reference<css::drawing::XDrawPage> const secondSlide = slides->insertNewByIndex(0);
        Reference<css::drawing::XMasterPageTarget>(secondSlide, UNO_QUERY_THROW)
            ->setMasterPage(second);

        Reference<css::container::XNameAccess> const families =
            Reference<css::style::XStyleFamiliesSupplier>(document, UNO_QUERY_THROW)
                ->getStyleFamilies();
        Reference<css::container::XNameAccess> const family(
            families->getByName(ToUno(FirstMasterName)), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> const title(family->getByName("title"),
                                                        UNO_QUERY_THROW);
        title->setPropertyValue("CharColor", Any(TitleColour));
        title->setPropertyValue("CharHeight", Any(static_cast<float>(40)));

        Reference<css::frame::XStorable> const storable(document, UNO_QUERY_THROW);
        auto const store = [&](const fs::path& file, const char* filter,
                               std::vector<std::pair<const char*, Any>> arguments = {}) {
            arguments.emplace_back("FilterName", Any(OUString::createFromAscii(filter)));
            arguments.emplace_back("Overwrite", Any(true));
            storable->storeToURL(ToUno(TestOffice::Url(file)), Properties(arguments));
        };
        // The ODF filters take the password itself; the OOXML ones the key material that the
        // office's own "save with password" hands them.
        Any const password(OUString::createFromAscii(Password));
        css::beans::NamedValue const key[] = {{"OOXPassword", password},
                                              {"CryptoType", Any(OUString("Standard"))}};
        css::uno::Sequence<css::beans::NamedValue> const ooxmlKey(key, 2);
        store(fixtures.odfTemplate, "impress8_template");
        store(fixtures.powerPoint97, "MS PowerPoint 97 Vorlage");
        store(fixtures.powerPoint2007, "Impress MS PowerPoint 2007 XML Template");
        store(fixtures.odfPresentation, "impress8");
        store(fixtures.powerPoint97Presentation, "MS PowerPoint 97");
        store(fixtures.powerPoint2007Presentation, "Impress Office Open XML");
        store(fixtures.passwordProtected, "impress8_template", {{"Password", password}});
        store(fixtures.passwordProtected2007, "Impress MS PowerPoint 2007 XML Template",
              {{"EncryptionData", Any(ooxmlKey)}});
        WriteTextDocument(office, fixtures.textDocument);
    });

    auto const firstHalf = [](const fs::path& from, const fs::path& to) {
        std::ifstream in(from, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(to, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    };
    MarkEncrypted97(fixtures.powerPoint97, fixtures.passwordProtected97);
    firstHalf(fixtures.odfTemplate, fixtures.truncatedOdf);
    firstHalf(fixtures.powerPoint97, fixtures.truncated97);
    std::ofstream(fixtures.emptyFile).close();
    fs::create_directories(fixtures.folder);
    fs::remove(fixtures.pipe);
    if (mkfifo(fixtures.pipe.c_str(), 0600) != 0) {
        throw std::runtime_error("cannot make the named pipe fixture");
    }

    std::mt19937 random(20240607);
    std::ofstream garbage(fixtures.garbage, std::ios::binary);
    for (int i = 0; i < 16384; ++i) {
        garbage.put(static_cast<char>(random() & 0xFF));
    }
    return fixtures;
}

} // namespace slidevane::testing
