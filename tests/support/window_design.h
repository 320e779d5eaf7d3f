// The main window's design as the tests know it, written out here on its own rather than taken
// from the table the windows are built from, so that a window test compares the window with the
// design and not the table with itself.
#pragma once

#include <ostream>

namespace testing_support {

enum class Widget { Label, Button, Picture, TextBox };
enum class Look { Default, Blue, Magenta };

// One control: its id in a window system that numbers controls, name, kind, text, place and size
// in twips, and text colour.
struct DesignRow {
  int id;
  const char* name;
  Widget widget;
  const char* text;
  int left, top, width, height;
  Look look;
};

inline constexpr DesignRow kDesign[] = {
    {101, "Label1", Widget::Label, "", 2250, 60, 2475, 255, Look::Default},
    {102, "Label4", Widget::Label, "Computer Name", 4800, 60, 1275, 255, Look::Blue},
    {103, "Label5", Widget::Label, "", 2250, 360, 2475, 255, Look::Default},
    {104, "Label6", Widget::Label, "User Name", 4800, 360, 1275, 255, Look::Blue},
    {105, "Label26", Widget::Label, "", 2250, 660, 1065, 255, Look::Default},
    {106, "Label7", Widget::Label, "", 3330, 660, 1395, 255, Look::Default},
    {107, "Label8", Widget::Label, "System Platform", 4800, 660, 1275, 255, Look::Blue},
    {108, "Label9", Widget::Label, "", 3330, 960, 1395, 255, Look::Default},
    {109, "Label10", Widget::Label, "Version Info", 4800, 960, 1275, 255, Look::Blue},
    {110, "Command2", Widget::Button, "Print Info", 2280, 1020, 975, 285, Look::Default},
    {111, "Label12", Widget::Label, "", 3330, 1260, 1005, 255, Look::Default},
    {112, "Label17", Widget::Label, "Physical Memory", 4380, 1260, 1725, 255, Look::Blue},
    {113, "Command1", Widget::Button, "Exit", 2280, 1380, 975, 285, Look::Default},
    {114, "Label13", Widget::Label, "", 3330, 1530, 1005, 255, Look::Magenta},
    {115, "Label18", Widget::Label, "Free Physical Memory", 4380, 1530, 1725, 255, Look::Blue},
    {116, "Label14", Widget::Label, "", 3330, 1800, 1005, 255, Look::Default},
    {117, "Label19", Widget::Label, "Locked Memory", 4380, 1800, 1725, 255, Look::Blue},
    {118, "Image1", Widget::Picture, "", 720, 480, 765, 735, Look::Default},
    {119, "Text1", Widget::TextBox, "Text1", 240, 2220, 5865, 1455, Look::Default},
    {120, "Label11", Widget::Label, "Pelvaro  https://www.pelvaro.example/", 360, 3720, 5625, 285,
     Look::Blue},
};

// A row by its name in a test's messages.
inline void PrintTo(const DesignRow& row, std::ostream* os) {
  *os << row.name;
}

}  // namespace testing_support
