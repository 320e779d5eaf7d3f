// The main window's design as plain data: its title, client area and place, and every control with
// its kind, text, rectangle in twips and text colour. A window implementation builds itself from
// this table, so that each platform's window shows the same design.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/main/main_form.h"

namespace mainlayout {

inline constexpr char kTitle[] = "System Information Beta 0.96";

// The client area and its top-left corner on the screen, in twips.
inline constexpr int kClientLeft = 1725;
inline constexpr int kClientTop = 2010;
inline constexpr int kClientWidth = 6195;
inline constexpr int kClientHeight = 4110;

enum class Kind { Label, Button, Picture, TextBox };

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

enum class Ink { Default, Blue, Magenta };
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kMagenta{255, 0, 255};
// Text1's own colours.
inline constexpr Rgb kTextBoxBackground{0, 0, 0};
inline constexpr Rgb kTextBoxText{0, 255, 255};
inline constexpr char kTextBoxFace[] = "Arial";
// 9.75 points, in hundredths of a point.
inline constexpr int kTextBoxPointsX100 = 975;

// One per control, in the design's row order. The values double as the controls' ids in a window
// system that numbers its controls.
enum class Id : int {
  Label1 = 101,
  Label4,
  Label5,
  Label6,
  Label26,
  Label7,
  Label8,
  Label9,
  Label10,
  Command2,
  Label12,
  Label17,
  Command1,
  Label13,
  Label18,
  Label14,
  Label19,
  Image1,
  Text1,
  Label11,
};

struct Control {
  Id id;
  const char* name;
  Kind kind;
  const char* text;
  int left;
  int top;
  int width;
  int height;
  Ink ink;
};

inline constexpr std::array<Control, 20> kControls{{
    {Id::Label1, "Label1", Kind::Label, "", 2250, 60, 2475, 255, Ink::Default},
    {Id::Label4, "Label4", Kind::Label, "Computer Name", 4800, 60, 1275, 255, Ink::Blue},
    {Id::Label5, "Label5", Kind::Label, "", 2250, 360, 2475, 255, Ink::Default},
    {Id::Label6, "Label6", Kind::Label, "User Name", 4800, 360, 1275, 255, Ink::Blue},
    {Id::Label26, "Label26", Kind::Label, "", 2250, 660, 1065, 255, Ink::Default},
    {Id::Label7, "Label7", Kind::Label, "", 3330, 660, 1395, 255, Ink::Default},
    {Id::Label8, "Label8", Kind::Label, "System Platform", 4800, 660, 1275, 255, Ink::Blue},
    {Id::Label9, "Label9", Kind::Label, "", 3330, 960, 1395, 255, Ink::Default},
    {Id::Label10, "Label10", Kind::Label, "Version Info", 4800, 960, 1275, 255, Ink::Blue},
    {Id::Command2, "Command2", Kind::Button, "Print Info", 2280, 1020, 975, 285, Ink::Default},
    {Id::Label12, "Label12", Kind::Label, "", 3330, 1260, 1005, 255, Ink::Default},
    {Id::Label17, "Label17", Kind::Label, "Physical Memory", 4380, 1260, 1725, 255, Ink::Blue},
    {Id::Command1, "Command1", Kind::Button, "Exit", 2280, 1380, 975, 285, Ink::Default},
    {Id::Label13, "Label13", Kind::Label, "", 3330, 1530, 1005, 255, Ink::Magenta},
    {Id::Label18, "Label18", Kind::Label, "Free Physical Memory", 4380, 1530, 1725, 255, Ink::Blue},
    {Id::Label14, "Label14", Kind::Label, "", 3330, 1800, 1005, 255, Ink::Default},
    {Id::Label19, "Label19", Kind::Label, "Locked Memory", 4380, 1800, 1725, 255, Ink::Blue},
    {Id::Image1, "Image1", Kind::Picture, "", 720, 480, 765, 735, Ink::Default},
    {Id::Text1, "Text1", Kind::TextBox, "Text1", 240, 2220, 5865, 1455, Ink::Default},
    {Id::Label11, "Label11", Kind::Label, "Pelvaro  https://www.pelvaro.example/", 360, 3720, 5625,
     285, Ink::Blue},
}};

// The controls that take the focus, in tab order.
inline constexpr std::array<Id, 3> kTabOrder{Id::Text1, Id::Command1, Id::Command2};

// The control that shows a value label of the MainForm interface.
constexpr Id ValueLabel(mainform::Label label) {
  using mainform::Label;
  switch (label) {
    case Label::Label1:
      return Id::Label1;
    case Label::Label5:
      return Id::Label5;
    case Label::Label7:
      return Id::Label7;
    case Label::Label9:
      return Id::Label9;
    case Label::Label12:
      return Id::Label12;
    case Label::Label13:
      return Id::Label13;
    case Label::Label14:
      return Id::Label14;
    case Label::Label26:
      return Id::Label26;
  }
  return Id::Label1;
}

// A control's place in kControls: the ids count up from the first in the table's order.
constexpr std::size_t Index(Id id) {
  return static_cast<std::size_t>(static_cast<int>(id) - static_cast<int>(Id::Label1));
}

constexpr const Control& Find(Id id) {
  for (const Control& control : kControls) {
    if (control.id == id) {
      return control;
    }
  }
  return kControls[0];
}

// Twips to pixels at a screen's dots per inch, rounded to the nearest pixel.
constexpr int Pixels(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

}  // namespace mainlayout
