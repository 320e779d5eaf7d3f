// The main window's design as plain data: its title, client area and place, and every control with
// its kind, text, rectangle in twips and text colour, and what it means to a reader: which value it
// shows, the heading that names it, what assistive technology calls it and its caption in the
// printed report. Both windows build themselves from this table, the report takes its captions from
// it, and tests check the windows against it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

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
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

// A control's text colour: the system's (Default) or a fixed one of the design.
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
// system that numbers its controls; None is no control.
enum class Id : int {
  None = 0,
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

// What a control means beyond its look.
struct Meaning {
  // A value label: its place in the MainForm interface.
  std::optional<mainform::Label> value;
  // The heading label beside a value that names it; None where no heading does.
  Id heading = Id::None;
  // What assistive technology calls the control where no heading names it; nullptr: its own text.
  const char* spoken = nullptr;
  // The value's line in the printed report (3 to 8) and the caption before it; 0: not printed.
  int reportLine = 0;
  const char* reportCaption = nullptr;
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
  Meaning meaning;
};

namespace detail {
using mainform::Label;
constexpr Meaning Value(Label label, Id heading, int line = 0, const char* caption = nullptr) {
  return {label, heading, nullptr, line, caption};
}
}  // namespace detail

// clang-format off
inline constexpr std::array<Control, 20> kControls{{
    {Id::Label1, "Label1", Kind::Label, "", 2250, 60, 2475, 255, Ink::Default,
     detail::Value(mainform::Label::Label1, Id::Label4, 3, "Computer Name: ")},
    {Id::Label4, "Label4", Kind::Label, "Computer Name", 4800, 60, 1275, 255, Ink::Blue, {}},
    {Id::Label5, "Label5", Kind::Label, "", 2250, 360, 2475, 255, Ink::Default,
     detail::Value(mainform::Label::Label5, Id::Label6, 4, "User Name:     ")},
    {Id::Label6, "Label6", Kind::Label, "User Name", 4800, 360, 1275, 255, Ink::Blue, {}},
    // The processor has no heading of its own: it stands left of the platform's.
    {Id::Label26, "Label26", Kind::Label, "", 2250, 660, 1065, 255, Ink::Default,
     {mainform::Label::Label26, Id::None, "Processor", 7, "Processor:     "}},
    {Id::Label7, "Label7", Kind::Label, "", 3330, 660, 1395, 255, Ink::Default,
     detail::Value(mainform::Label::Label7, Id::Label8, 5, "Platform:      ")},
    {Id::Label8, "Label8", Kind::Label, "System Platform", 4800, 660, 1275, 255, Ink::Blue, {}},
    {Id::Label9, "Label9", Kind::Label, "", 3330, 960, 1395, 255, Ink::Default,
     detail::Value(mainform::Label::Label9, Id::Label10, 6, "Win Version:   ")},
    {Id::Label10, "Label10", Kind::Label, "Version Info", 4800, 960, 1275, 255, Ink::Blue, {}},
    {Id::Command2, "Command2", Kind::Button, "Print Info", 2280, 1020, 975, 285, Ink::Default, {}},
    {Id::Label12, "Label12", Kind::Label, "", 3330, 1260, 1005, 255, Ink::Default,
     detail::Value(mainform::Label::Label12, Id::Label17, 8, "Physical RAM:  ")},
    {Id::Label17, "Label17", Kind::Label, "Physical Memory", 4380, 1260, 1725, 255, Ink::Blue, {}},
    {Id::Command1, "Command1", Kind::Button, "Exit", 2280, 1380, 975, 285, Ink::Default, {}},
    {Id::Label13, "Label13", Kind::Label, "", 3330, 1530, 1005, 255, Ink::Magenta,
     detail::Value(mainform::Label::Label13, Id::Label18)},
    {Id::Label18, "Label18", Kind::Label, "Free Physical Memory", 4380, 1530, 1725, 255, Ink::Blue,
     {}},
    {Id::Label14, "Label14", Kind::Label, "", 3330, 1800, 1005, 255, Ink::Default,
     detail::Value(mainform::Label::Label14, Id::Label19)},
    {Id::Label19, "Label19", Kind::Label, "Locked Memory", 4380, 1800, 1725, 255, Ink::Blue, {}},
    {Id::Image1, "Image1", Kind::Picture, "", 720, 480, 765, 735, Ink::Default,
     {std::nullopt, Id::None, "Information"}},
    {Id::Text1, "Text1", Kind::TextBox, "Text1", 240, 2220, 5865, 1455, Ink::Default,
     {std::nullopt, Id::None, "Settings listing"}},
    {Id::Label11, "Label11", Kind::Label, "Pelvaro  https://www.pelvaro.example/", 360, 3720, 5625,
     285, Ink::Blue, {}},
}};
// clang-format on

// The controls that take the focus, in tab order.
inline constexpr std::array<Id, 3> kTabOrder{Id::Text1, Id::Command1, Id::Command2};

// A control's place in kControls: the ids count up from the first in the table's order.
constexpr std::size_t Index(Id id) {
  return static_cast<std::size_t>(static_cast<int>(id) - static_cast<int>(Id::Label1));
}

// The row of a control; the first row for an id that is no control's.
constexpr const Control& Find(Id id) {
  const std::size_t index = Index(id);
  return index < kControls.size() ? kControls[index] : kControls[0];
}

// The control that shows a value label of the MainForm interface.
constexpr const Control& Find(mainform::Label label) {
  for (const Control& control : kControls) {
    if (control.meaning.value == label) {
      return control;
    }
  }
  return kControls[0];
}

constexpr Id ValueLabel(mainform::Label label) {
  return Find(label).id;
}

// Whether the control is a heading: the label that names a value beside it.
constexpr bool IsHeading(const Control& control) {
  for (const Control& other : kControls) {
    if (other.meaning.heading == control.id) {
      return true;
    }
  }
  return false;
}

// What a value is ("Computer Name", "Processor"), or what a control is called: its heading's text,
// else its own name for assistive technology, else its text.
constexpr const char* Called(const Control& control) {
  if (control.meaning.heading != Id::None) {
    return Find(control.meaning.heading).text;
  }
  return control.meaning.spoken != nullptr ? control.meaning.spoken : control.text;
}

namespace detail {
// The parts of the window in the order a screen reader reads them: the picture, the facts, the
// listing, the maker's line, the buttons.
constexpr int ReadingPart(const Control& control) {
  switch (control.kind) {
    case Kind::Picture:
      return 0;
    case Kind::Label:
      return control.meaning.value ? 1 : 3;
    case Kind::TextBox:
      return 2;
    case Kind::Button:
      return 4;
  }
  return 4;
}

constexpr std::size_t ReadCount() {
  std::size_t count = 0;
  for (const Control& control : kControls) {
    count += IsHeading(control) ? 0 : 1;
  }
  return count;
}
}  // namespace detail

// The controls in the order a screen reader reads them: part by part, and within a part row by
// row, top to bottom and left to right, so the facts are read as the eye reads their rows and the
// buttons after them. The picture stands left of the facts, beside their upper rows rather than in
// one: read by its top it would split two facts, so it opens the window, as a message box's icon
// comes before its text. The headings are left out: each value is called after its heading
// ("Computer Name: vm"), so a heading read as well would be heard twice.
inline constexpr auto kReadingOrder = [] {
  std::array<const Control*, detail::ReadCount()> read{};
  std::size_t next = 0;
  for (const Control& control : kControls) {
    if (!IsHeading(control)) {
      read[next++] = &control;
    }
  }
  std::sort(read.begin(), read.end(), [](const Control* a, const Control* b) {
    const int partA = detail::ReadingPart(*a);
    const int partB = detail::ReadingPart(*b);
    if (partA != partB) {
      return partA < partB;
    }
    return a->top != b->top ? a->top < b->top : a->left < b->left;
  });
  std::array<Id, detail::ReadCount()> order{};
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = read[i]->id;
  }
  return order;
}();

// Whether the control's text colour is fixed by the design rather than the system's.
constexpr bool FixedInk(const Control& control) {
  return control.ink != Ink::Default;
}

constexpr Rgb InkColour(Ink ink) {
  return ink == Ink::Magenta ? kMagenta : kBlue;
}

// Twips to pixels at a screen's dots per inch, rounded to the nearest pixel.
constexpr int Pixels(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

// The table's ids count up in its order, so that Index and Find need no search.
static_assert([] {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (Index(kControls[i].id) != i) {
      return false;
    }
  }
  return true;
}());

}  // namespace mainlayout
