// The pictures built into the program, by their resource paths.
#pragma once

class QIcon;
class QPixmap;

namespace assets {

inline constexpr char kSky[] = ":/assets/sky.bmp";
inline constexpr char kInformationIcon[] = ":/assets/information.ico";
inline constexpr char kComputerIcon[] = ":/assets/computer.ico";

// The information icon with both its sizes, for windows and the application.
QIcon InformationIcon();
// The icon of the hidden settings window; nothing shows it, but it belongs to that window's design.
QIcon ComputerIcon();
QPixmap Sky();

}  // namespace assets
