// The main window `main` on Qt: the fixed window with the key facts over the sky picture, the
// listing in Text1, and the Exit and Print Info buttons. The rest of the program writes into it and
// reads it back through mainform::MainForm.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

#include "ui/main/main_form.h"
#include "ui/main/main_layout.h"
#include "ui/main/qt/caption_label.h"

class QPlainTextEdit;
class QPushButton;

namespace mainwindow {

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
  // A control of the design table, with its name, text, place and colour.
  QLabel* AddLabel(mainlayout::Id id);
  // A value label, named for screen readers after its heading.
  CaptionLabel* AddValue(mainlayout::Id id, mainlayout::Id heading,
                         CaptionLabel::Kind kind = CaptionLabel::Kind::Text);
  CaptionLabel* AddValue(mainlayout::Id id, const char* heading,
                         CaptionLabel::Kind kind = CaptionLabel::Kind::Text);
  [[nodiscard]] CaptionLabel* ValueLabel(mainform::Label label) const;
  // The system's label text colour on each value label where it stands out from the sky, black
  // elsewhere; the magenta free memory keeps its own.
  void UseReadableValueColours();

  QImage sky_;
  ReportAction report_;

  CaptionLabel* Label1_ = nullptr;
  QLabel* Label4_ = nullptr;
  CaptionLabel* Label5_ = nullptr;
  QLabel* Label6_ = nullptr;
  CaptionLabel* Label26_ = nullptr;
  CaptionLabel* Label7_ = nullptr;
  QLabel* Label8_ = nullptr;
  CaptionLabel* Label9_ = nullptr;
  QLabel* Label10_ = nullptr;
  QPushButton* Command2_ = nullptr;
  CaptionLabel* Label12_ = nullptr;
  QLabel* Label17_ = nullptr;
  QPushButton* Command1_ = nullptr;
  CaptionLabel* Label13_ = nullptr;
  QLabel* Label18_ = nullptr;
  CaptionLabel* Label14_ = nullptr;
  QLabel* Label19_ = nullptr;
  QLabel* Image1_ = nullptr;
  QPlainTextEdit* Text1_ = nullptr;
  QLabel* Label11_ = nullptr;
};

}  // namespace mainwindow
