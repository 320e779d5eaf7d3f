// The pictures built into the program for the Qt windows, as compiled-in pixels.
#pragma once

class QIcon;
class QImage;
class QSize;

namespace assets {

// The information icon for windows and the application. It offers every size of the icon theme:
// the design's 16-colour pictures at 16 and 32 pixels, the drawing at the others, each drawn only
// when asked for.
QIcon InformationIcon();
// The size among the icon's sizes nearest to the larger side of a picture of the given pixels.
int NearestInformationSize(const QSize& pixels);
// The information icon stretched to the given size in device pixels, for the picture control. At a
// device pixel ratio below 2 it is the 32-pixel picture of the design, each pixel taking the icon
// pixel under its centre with no blending; at 2 or more it is the icon at the size nearest the
// control's device pixels, scaled smoothly, so that it stays sharp.
QImage InformationPicture(const QSize& size, double ratio = 1);
// The sky's top-left part that the main window's client area shows, kept at 8 bits per pixel (a
// pixmap of it would take four times the memory for as long as the window lives) and read in
// place from the program's own pixels.
QImage ShownSky();

}  // namespace assets
