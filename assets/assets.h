// The pictures built into the program: compiled-in pixels, and the computer icon as a resource.
#pragma once

class QIcon;
class QImage;
class QSize;

namespace assets {

inline constexpr char kComputerIcon[] = ":/assets/computer.ico";

// The information icon with both its sizes, for windows and the application.
QIcon InformationIcon();
// The icon of the hidden settings window; nothing shows it, but it belongs to that window's design.
QIcon ComputerIcon();
// The information icon's 32-pixel image stretched to the given size in pixels, for the picture
// control: each pixel takes the icon pixel under its centre, with no blending.
QImage InformationPicture(const QSize& size);
// The sky's top-left part that the main window's client area shows, kept at 8 bits per pixel (a
// pixmap of it would take four times the memory for as long as the window lives) and read in
// place from the program's own pixels.
QImage ShownSky();

}  // namespace assets
