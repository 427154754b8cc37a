#include "DesignSnapshot.h"

#include "UnoValues.h"

#include <algorithm>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/FillStyle.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>

namespace slidevane::testing {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using uno::FromUno;

namespace {

std::string NameOf(const Reference<css::uno::XInterface>& page) {
    return FromUno(Reference<css::container::XNamed>(page, UNO_QUERY_THROW)->getName());
}

MasterDesign ReadMaster(const Reference<css::drawing::XDrawPage>& master) {
    MasterDesign design;
    design.name = NameOf(master);
    Reference<css::beans::XPropertySet> background;
    Reference<css::beans::XPropertySet>(master, UNO_QUERY_THROW)->getPropertyValue("Background") >>=
        background;
    if (background.is()) {
        css::drawing::FillStyle style = css::drawing::FillStyle_NONE;
        background->getPropertyValue("FillStyle") >>= style;
        design.fillStyle = static_cast<int>(style);
        background->getPropertyValue("FillColor") >>= design.fillColour;
    }
    for (sal_Int32 i = 0; i < master->getCount(); ++i) {
        Reference<css::drawing::XShape> const shape(master->getByIndex(i), UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        design.shapeTypes.push_back(FromUno(shape->getShapeType()));
#pragma GCC diagnostic pop
    }
    std::sort(design.shapeTypes.begin(), design.shapeTypes.end());
    return design;
}

} // namespace

DesignSnapshot DesignSnapshot::Of(OfficeConnection& office,
                                  const Reference<css::frame::XModel>& document) {
    DesignSnapshot snapshot;
    office.Call("read design", [&] {
        Reference<css::drawing::XDrawPages> const masters =
            Reference<css::drawing::XMasterPagesSupplier>(document, UNO_QUERY_THROW)
                ->getMasterPages();
        for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
            snapshot.masters.push_back(ReadMaster(
                Reference<css::drawing::XDrawPage>(masters->getByIndex(i), UNO_QUERY_THROW)));
        }
        Reference<css::drawing::XDrawPages> const slides =
            Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages();
        snapshot.slideCount = slides->getCount();
        Reference<css::beans::XPropertySet> const first(slides->getByIndex(0), UNO_QUERY_THROW);
        first->getPropertyValue("Width") >>= snapshot.slideWidth;
        first->getPropertyValue("Height") >>= snapshot.slideHeight;
        sal_Int16 layout = -1;
        first->getPropertyValue("Layout") >>= layout;
        snapshot.firstSlideLayout = layout;
        snapshot.firstSlideMaster = NameOf(
            Reference<css::drawing::XMasterPageTarget>(first, UNO_QUERY_THROW)->getMasterPage());

        Reference<css::container::XNameAccess> const family(
            Reference<css::style::XStyleFamiliesSupplier>(document, UNO_QUERY_THROW)
                ->getStyleFamilies()
                ->getByName(uno::ToUno(snapshot.masters.at(0).name)),
            UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> const title(family->getByName("title"),
                                                        UNO_QUERY_THROW);
        title->getPropertyValue("CharColor") >>= snapshot.titleColour;
        title->getPropertyValue("CharHeight") >>= snapshot.titleHeight;
    });
    return snapshot;
}

bool DesignSnapshot::SameDesign(const DesignSnapshot& other) const {
    return masters == other.masters && slideWidth == other.slideWidth &&
           slideHeight == other.slideHeight && titleColour == other.titleColour &&
           titleHeight == other.titleHeight;
}

bool DesignSnapshot::TemplateWithTitleSlide(const DesignSnapshot& templateDesign) const {
    if (masters.size() != templateDesign.masters.size() || masters.empty()) {
        return false;
    }
    MasterDesign first = templateDesign.masters[0];
    for (const char* placeholder :
         {"com.sun.star.presentation.TitleTextShape", "com.sun.star.presentation.OutlinerShape"}) {
        if (std::find(first.shapeTypes.begin(), first.shapeTypes.end(), placeholder) ==
            first.shapeTypes.end()) {
            first.shapeTypes.push_back(placeholder);
        }
    }
    std::sort(first.shapeTypes.begin(), first.shapeTypes.end());
    if (masters[0] != templateDesign.masters[0] && masters[0] != first) {
        return false;
    }
    return std::equal(masters.begin() + 1, masters.end(), templateDesign.masters.begin() + 1) &&
           slideWidth == templateDesign.slideWidth && slideHeight == templateDesign.slideHeight &&
           titleColour == templateDesign.titleColour && titleHeight == templateDesign.titleHeight;
}

std::ostream& operator<<(std::ostream& out, const DesignSnapshot& design) {
    out << "{slides " << design.slideCount << " (first on '" << design.firstSlideMaster
        << "', layout " << design.firstSlideLayout << "), size " << design.slideWidth << "x"
        << design.slideHeight << ", title colour " << std::hex << design.titleColour << std::dec
        << " height " << design.titleHeight << ", masters:";
    for (const MasterDesign& master : design.masters) {
        out << " ['" << master.name << "' fill " << master.fillStyle << "/" << std::hex
            << master.fillColour << std::dec << " shapes";
        for (const std::string& type : master.shapeTypes) {
            out << ' ' << type.substr(type.rfind('.') + 1);
        }
        out << ']';
    }
    return out << '}';
}

} // namespace slidevane::testing
