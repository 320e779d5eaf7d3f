// The printer object on Qt: each document is one QPainter session on the QPrinter the print dialog
// configured, so every EndDoc hands a separate job (or file) to the printer.
#pragma once

#include <QFont>
#include <QString>
#include <memory>

#include "platform/printer.h"

class QPainter;
class QPrinter;

namespace platform::qt {

class Printer final : public platform::Printer {
 public:
  // printer must outlive this object.
  explicit Printer(QPrinter& printer);
  ~Printer() override;
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  [[nodiscard]] bool SetCurrentX(double twips) override;
  [[nodiscard]] bool SetCurrentY(double twips) override;
  [[nodiscard]] bool SetFont(const std::string& face) override;
  [[nodiscard]] bool SetFontSize(double points) override;
  [[nodiscard]] bool Print(const std::string& item) override;
  [[nodiscard]] bool EndDoc() override;

  // The file of the given document (1 for the first) when printing to file: the chosen name for
  // the first, a numbered name beside it for each further one, so no copy overwrites another.
  [[nodiscard]] static QString DocumentFileName(const QString& chosen, int document);

 private:
  bool StartDocIfNone();
  bool PrintLine(const QString& text);
  [[nodiscard]] double ToDeviceX(double twips) const;
  [[nodiscard]] double ToDeviceY(double twips) const;
  [[nodiscard]] double ToTwipsY(double device) const;

  QPrinter& printer_;
  std::unique_ptr<QPainter> painter_;  // set while a document is open
  QString chosenFileName_;
  int documents_ = 0;
  QFont font_;
  double currentX_ = 0;  // twips
  double currentY_ = 0;
};

}  // namespace platform::qt
