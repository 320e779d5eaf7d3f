// The readable-colour rule of ui/main/readable_colour.h for Qt's colours and pictures.
#pragma once

#include <QColor>

#include "ui/main/readable_colour.h"

class QImage;
class QRect;

namespace mainwindow {

// The luminances of the picture's pixels inside the area, clipped to the picture.
LuminanceRange LuminanceUnder(const QImage& picture, const QRect& area);
// The wanted colour where it is readable over the range, black otherwise.
QColor ReadableTextColour(const QColor& wanted, const LuminanceRange& range);

}  // namespace mainwindow
