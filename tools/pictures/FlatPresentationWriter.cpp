#include "FlatPresentationWriter.h"

#include <cstdio>
#include <sstream>

namespace slidevane {

namespace {

std::string Hex(Rgb c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    return buffer;
}

std::string Cm(double v) {
    std::ostringstream s;
    s.precision(3);
    s << std::fixed << v << "cm";
    return s.str();
}

struct Box {
    double x, y, w, h;
};

std::string Geometry(const Box& b) {
    return "svg:x=\"" + Cm(b.x) + "\" svg:y=\"" + Cm(b.y) + "\" svg:width=\"" + Cm(b.w) +
           "\" svg:height=\"" + Cm(b.h) + "\"";
}

// Page is 25.4 x 19.05 cm, the 4:3 screen show size both suites know.
struct Layout {
    Box title;
    Box outline;
    std::string shapes;
    bool titleOnAccent;
};

Layout LayoutFor(const SlideDesign& d) {
    Layout l{};
    std::ostringstream s;
    switch (d.motif) {
    case SlideDesign::Motif::Banner:
        s << "<draw:rect draw:style-name=\"grAccent\" " << Geometry({0, 0, 25.4, 4.6}) << "/>\n"
          << "<draw:rect draw:style-name=\"grSecond\" " << Geometry({0, 4.6, 25.4, 0.38}) << "/>\n"
          << "<draw:rect draw:style-name=\"grSecond\" " << Geometry({0, 17.65, 25.4, 1.4})
          << "/>\n";
        l.title = {1.8, 0.9, 21.8, 2.8};
        l.outline = {2.5, 6.6, 20.0, 9.5};
        l.titleOnAccent = true;
        break;
    case SlideDesign::Motif::Sidebar:
        s << "<draw:rect draw:style-name=\"grAccent\" " << Geometry({0, 0, 5.4, 19.05}) << "/>\n";
        for (int i = 0; i < 3; ++i)
            s << "<draw:ellipse draw:style-name=\"grSecond\" "
              << Geometry({1.5, 12.1 + i * 1.9, 1.4, 1.4}) << "/>\n";
        s << "<draw:rect draw:style-name=\"grSecond\" " << Geometry({7.0, 5.3, 15.9, 0.32})
          << "/>\n";
        l.title = {7.0, 2.2, 16.5, 2.8};
        l.outline = {7.4, 7.2, 16.0, 9.5};
        break;
    case SlideDesign::Motif::Orbit:
        s << "<draw:ellipse draw:style-name=\"grAccentSoft\" " << Geometry({14.0, 9.5, 16.5, 16.5})
          << "/>\n"
          << "<draw:ellipse draw:style-name=\"grRing\" " << Geometry({11.4, 7.0, 21.6, 21.6})
          << "/>\n";
        l.title = {1.9, 2.2, 16.0, 2.8};
        l.outline = {2.5, 6.6, 12.5, 9.0};
        break;
    }
    l.shapes = s.str();
    return l;
}

} // namespace

std::string FlatPresentationWriter::Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string FlatPresentationWriter::Write(const SlideDesign& d) {
    const Layout l = LayoutFor(d);
    const std::string font = Escape(d.fontFamily);
    const std::string titleColour = Hex(l.titleOnAccent ? d.backgroundTop : d.titleColour);
    // The outline style carries the bullets for new slides; the sample slide's list names its
    // own copy, as lists in slide text cannot point into a presentation style.
    auto bullets = [&](const char* name) {
        return std::string("<text:list-style style:name=\"") + name + R"(">
<text:list-level-style-bullet text:level="1" text:bullet-char="&#x25CF;" text:bullet-relative-size="70%">
<style:list-level-properties text:space-before="0cm" text:min-label-width="0.9cm"/>
<style:text-properties fo:font-family="'DejaVu Sans'" style:use-window-font-color="false" fo:color=")" +
               Hex(d.accentSecond) + R"("/>
</text:list-level-style-bullet>
</text:list-style>)";
    };
    std::ostringstream x;
    x << R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:meta="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:meta><dc:title>)"
      << Escape(d.title) << " (" << Escape(d.stem)
      << R"()</dc:title><meta:generator>slidevane3-make-sample-pack</meta:generator></office:meta>
<office:font-face-decls>
<style:font-face style:name=")"
      << font << "\" svg:font-family=\"'" << font << R"('" style:font-family-generic="swiss"/>
</office:font-face-decls>
<office:styles>
<draw:gradient draw:name="Backdrop" draw:style="linear" draw:start-color=")"
      << Hex(d.backgroundTop) << "\" draw:end-color=\"" << Hex(d.backgroundBottom)
      << R"(" draw:start-intensity="100%" draw:end-intensity="100%" draw:angle="0deg" draw:border="0%"/>
<style:style style:name="Design-title" style:family="presentation">
<style:graphic-properties draw:stroke="none" draw:fill="none" draw:textarea-vertical-align="middle"/>
<style:paragraph-properties fo:text-align="start"/>
<style:text-properties style:font-name=")"
      << font << "\" fo:font-size=\"40pt\" fo:font-weight=\"bold\" fo:color=\"" << titleColour
      << R"("/>
</style:style>
<style:style style:name="Design-outline1" style:family="presentation">
<style:graphic-properties draw:stroke="none" draw:fill="none">
)" << bullets("OutlineBullets")
      << R"(
</style:graphic-properties>
<style:paragraph-properties fo:margin-top="0.4cm" fo:margin-bottom="0.2cm"/>
<style:text-properties style:font-name=")"
      << font << "\" fo:font-size=\"26pt\" fo:color=\"" << Hex(d.textColour) << R"("/>
</style:style>
</office:styles>
<office:automatic-styles>
<style:page-layout style:name="PageShow"><style:page-layout-properties fo:margin-top="0cm" fo:margin-bottom="0cm" fo:margin-left="0cm" fo:margin-right="0cm" fo:page-width="25.4cm" fo:page-height="19.05cm" style:print-orientation="landscape"/></style:page-layout>
<style:style style:name="Backdrop" style:family="drawing-page"><style:drawing-page-properties draw:fill="gradient" draw:fill-gradient-name="Backdrop" draw:background-size="full"/></style:style>
<style:style style:name="Plain" style:family="drawing-page"/>
)" << bullets("DesignBullets")
      << R"(
<style:style style:name="grAccent" style:family="graphic"><style:graphic-properties draw:stroke="none" draw:fill="solid" draw:fill-color=")"
      << Hex(d.accent) << R"(" draw:shadow="hidden"/></style:style>
<style:style style:name="grAccentSoft" style:family="graphic"><style:graphic-properties draw:stroke="none" draw:fill="solid" draw:fill-color=")"
      << Hex(d.accent) << R"(" draw:opacity="85%" draw:shadow="hidden"/></style:style>
<style:style style:name="grSecond" style:family="graphic"><style:graphic-properties draw:stroke="none" draw:fill="solid" draw:fill-color=")"
      << Hex(d.accentSecond) << R"(" draw:shadow="hidden"/></style:style>
<style:style style:name="grRing" style:family="graphic"><style:graphic-properties draw:stroke="solid" svg:stroke-width="0.6cm" svg:stroke-color=")"
      << Hex(d.accentSecond) << R"(" draw:fill="none" draw:shadow="hidden"/></style:style>
</office:automatic-styles>
<office:master-styles>
<style:master-page style:name="Design" style:page-layout-name="PageShow" draw:style-name="Backdrop">
)" << l.shapes
      << "<draw:frame presentation:style-name=\"Design-title\" presentation:class=\"title\" "
         "presentation:placeholder=\"true\" "
      << Geometry(l.title) << "><draw:text-box/></draw:frame>\n"
      << "<draw:frame presentation:style-name=\"Design-outline1\" presentation:class=\"outline\" "
         "presentation:placeholder=\"true\" "
      << Geometry(l.outline) << R"(><draw:text-box/></draw:frame>
</style:master-page>
</office:master-styles>
<office:body><office:presentation>
<draw:page draw:name="page1" draw:style-name="Plain" draw:master-page-name="Design">
<draw:frame presentation:style-name="Design-title" presentation:class="title" )"
      << Geometry(l.title) << "><draw:text-box><text:p>" << Escape(d.title)
      << "</text:p></draw:text-box></draw:frame>\n"
      << "<draw:frame presentation:style-name=\"Design-outline1\" presentation:class=\"outline\" "
      << Geometry(l.outline) << "><draw:text-box><text:list text:style-name=\"DesignBullets\">";
    for (const std::string& point : d.points)
        x << "<text:list-item><text:p>" << Escape(point) << "</text:p></text:list-item>";
    x << R"(</text:list></draw:text-box></draw:frame>
</draw:page>
</office:presentation></office:body>
</office:document>
)";
    return x.str();
}

} // namespace slidevane
