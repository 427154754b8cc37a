#pragma once

#include "SlideDesign.h"

#include <QImage>

namespace slidevane {

// Draws a design as an abstract 4:3 slide (shapes and text bars, no words) for the pictures the
// window carries before any pack is read. The rendered templates replace these at run time;
// this class never touches the office suite.
class SlideSketch {
public:
    static QImage Draw(const SlideDesign& design, int width, int height);
};

} // namespace slidevane
