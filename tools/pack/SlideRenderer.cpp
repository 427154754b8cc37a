#include "SlideRenderer.h"

#include "TemplateLoader.h"
#include "UnoValues.h"
#include "platform/RuntimeError.h"

#include <QString>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XExporter.hpp>
#include <com/sun/star/document/XFilter.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <system_error>

namespace slidevane {

namespace fs = std::filesystem;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

// The export's own compression is work nobody needs for a file read back at once.
constexpr sal_Int32 FastestCompression = 1;

QSize PixelSize(sal_Int32 width, sal_Int32 height, QSize box) {
    if (width <= 0 || height <= 0) {
        return box;
    }
    QSize const fitted = QSize(width, height).scaled(box, Qt::KeepAspectRatio);
    return {std::max(1, fitted.width()), std::max(1, fitted.height())};
}

} // namespace

SlideRenderer::SlideRenderer(OfficeConnection& office, fs::path workFolder)
    : office_(office), work_(std::move(workFolder)) {}

QImage SlideRenderer::Render(const fs::path& templatePath, QSize box) {
    fs::path const picture = work_ / ("slide-" + std::to_string(++count_) + ".png");
    office_.Call("render", [&] {
        TemplateLoader loader(office_);
        Reference<css::uno::XInterface> const presentation = loader.Load(templatePath.string());
        // Closed on every way out: a presentation left open would pile up in the office.
        struct Closing {
            Reference<css::uno::XInterface> document;
            ~Closing() { TemplateLoader::Close(document); }
        } const closing{presentation};

        Reference<css::drawing::XDrawPage> slide;
        Reference<css::drawing::XDrawPagesSupplier>(presentation, UNO_QUERY_THROW)
            ->getDrawPages()
            ->getByIndex(0) >>= slide;
        if (!slide.is()) {
            throw css::uno::RuntimeException("the presentation has no slide");
        }
        Reference<css::beans::XPropertySet> const page(slide, UNO_QUERY_THROW);
        sal_Int32 width = 0;
        sal_Int32 height = 0;
        page->getPropertyValue("Width") >>= width;
        page->getPropertyValue("Height") >>= height;
        QSize const pixels = PixelSize(width, height, box);

        Reference<css::document::XExporter> const exporter(
            office_.Create("com.sun.star.drawing.GraphicExportFilter"), UNO_QUERY_THROW);
        exporter->setSourceDocument(Reference<css::lang::XComponent>(slide, UNO_QUERY_THROW));
        Reference<css::document::XFilter>(exporter, UNO_QUERY_THROW)
            ->filter(uno::Properties(
                {{"URL", Any(uno::FileUrl(picture.string()))},
                 {"MediaType", Any(OUString("image/png"))},
                 {"FilterData",
                  Any(uno::Properties({{"PixelWidth", Any(sal_Int32(pixels.width()))},
                                       {"PixelHeight", Any(sal_Int32(pixels.height()))},
                                       {"Compression", Any(FastestCompression)}}))}}));
    });
    QImage const image(QString::fromStdString(picture.string()));
    std::error_code ignored;
    fs::remove(picture, ignored);
    if (image.isNull()) {
        throw RuntimeError::Automation("render", "the office exported no picture of the slide of " +
                                                     templatePath.string());
    }
    return image;
}

} // namespace slidevane
