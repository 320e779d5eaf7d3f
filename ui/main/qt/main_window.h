// The main window `main` on Qt: the fixed window with the key facts over the sky picture, the
// listing in Text1, and the Exit and Print Info buttons, built from the design table in
// main_layout.h. The rest of the program writes into it and reads it back through
// mainform::MainForm.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "ui/main/main_form.h"
#include "ui/main/main_layout.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace mainwindow {

class CaptionLabel;
class FrameAccessible;

// The program's dialog font: the main window's labels and buttons, and the dialogs the program
// shows.
QFont DialogFont();

class MainWindow : public QWidget, public mainform::MainForm {
  Q_OBJECT

 public:
  // What Print Info runs: the report, handed the window to read from and to parent its dialogs.
  using ReportAction = std::function<void(const mainform::MainForm&, QWidget*)>;

  static constexpr const auto& kTitle = mainlayout::kTitle;

  // Creates the window hidden; its load sets nothing visible, the settings window fills it.
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A new palette (a dark desktop theme) gives the value labels their colours again.
  void changeEvent(QEvent* event) override;
  // Closing by the close box or the window menu ends the program as Exit does: with the settings
  // window hidden, nothing else would be left for the user to end it with.
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class FrameAccessible;  // the window's controls in reading order, for screen readers

  // The parts of the window, each from its rows of the design table.
  void SetUpFrame();
  void AddControls();
  QWidget* AddLabel(const mainlayout::Control& control);
  QPushButton* AddButton(const mainlayout::Control& control);
  QLabel* AddImage1(const mainlayout::Control& control);
  QPlainTextEdit* AddText1(const mainlayout::Control& control);
  void SetUpAccessibility();
  void SetUpKeyboard();

  [[nodiscard]] QWidget* Control(mainlayout::Id id) const {
    return controls_[mainlayout::Index(id)];
  }
  [[nodiscard]] CaptionLabel* Value(mainform::Label label) const;
  [[nodiscard]] QPlainTextEdit* Text1Box() const;
  // The system's label text colour on each value label where it stands out from the sky, black
  // elsewhere; labels with a colour of their own keep it.
  void UseReadableValueColours();

  QImage sky_;
  ReportAction report_;
  // Every control of the design, by its place in the table.
  std::array<QWidget*, mainlayout::kControls.size()> controls_{};
};

}  // namespace mainwindow
