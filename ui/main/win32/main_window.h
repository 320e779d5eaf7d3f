// The main window `main` on the Win32 API: the fixed window with the key facts over the sky
// picture, the listing in Text1, and the Exit and Print Info buttons, built from the design table
// in main_layout.h. The rest of the program writes into it and reads it back through
// mainform::MainForm.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "ui/main/main_form.h"
#include "ui/main/main_layout.h"
#include "ui/main/win32/caption_label.h"
#include "ui/main/win32/gdi.h"
#include "ui/main/win32/sky.h"

namespace mainwindow {

struct IconDeleter {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};

class MainWindow : public mainform::MainForm {
 public:
  // What Print Info runs: the report, handed the window to read from and to own its dialogs.
  using ReportAction = std::function<void(const mainform::MainForm&, HWND)>;
  // What Exit and the close box run; by default the message loop ends with status 0.
  using ExitAction = std::function<void()>;

  static constexpr char kClassName[] = "QuorvaneMain";

  // Creates the window hidden, with every control of its design; its load sets nothing visible.
  // The pictures come from `resources`, the module that carries the program's resources.
  explicit MainWindow(HINSTANCE resources);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void SetCaption(mainform::Label label, const std::string& caption) override;
  [[nodiscard]] std::string Caption(mainform::Label label) const override;
  void SetText1(const std::string& text) override;
  [[nodiscard]] std::string Text1() const override;
  void Show() override;

  // Exit: ends the program at once.
  void Command1_Click();
  // Print Info: runs the report, if one has been given.
  void Command2_Click();
  void SetReportAction(ReportAction action);
  void SetExitAction(ExitAction action);

  // Gives the window's keyboard handling (Tab, Shift+Tab, Return on a button) its turn before a
  // message is dispatched; true when the message was used up.
  bool PreTranslate(MSG& message);

  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  [[nodiscard]] HWND Control(mainlayout::Id id) const { return controls_[mainlayout::Index(id)]; }
  // What a value label draws: its whole caption, or where even the smallest size is too wide, the
  // caption's start and an ellipsis.
  [[nodiscard]] std::string Shown(mainform::Label label) const { return Value(label).Shown(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  [[nodiscard]] CaptionLabel& Value(mainform::Label label);
  [[nodiscard]] const CaptionLabel& Value(mainform::Label label) const;
  // The value labels' text colours for the system's colours as they are now.
  void UseTextColours();
  void OnSystemColours();
  void OnPaint();
  void PaintSky(HDC dc) const;
  [[nodiscard]] HBRUSH Behind(HWND control) const;
  LRESULT OnLabelColour(HDC dc, HWND label);
  LRESULT OnTextBoxColour(HDC dc);
  void OnDrawPicture(const DRAWITEMSTRUCT& item);
  void OnCommand(int id);
  // Tab and Shift+Tab entering Text1 put its caret at the start; other moves keep its selection.
  enum class Move { Kept, Tabbed };
  void MoveFocus(HWND to, Move move = Move::Kept);

  HINSTANCE resources_;
  HWND hwnd_ = nullptr;
  // Every control of the design, by its place in the table.
  std::array<HWND, mainlayout::kControls.size()> controls_{};
  int dpi_ = 96;
  HWND focus_ = nullptr;
  ReportAction report_;
  ExitAction exit_;

  Sky sky_;
  DialogFonts fonts_;
  CaptionTips tips_;
  // The value labels, by their place in the MainForm interface.
  std::array<CaptionLabel, static_cast<std::size_t>(mainform::Label::Label26) + 1> values_;
  GdiObject<HBRUSH> textBoxBrush_;
  GdiObject<HFONT> textBoxFont_;
  // The information icon at Image1's size.
  std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter> information_;
};

}  // namespace mainwindow
