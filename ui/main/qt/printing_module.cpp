#include "ui/main/qt/printing_module.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>

#include "ui/main/visible_text.h"

namespace report {

QStringList PrintingModulePaths() {
  const QString file = QStringLiteral(QUORVANE_PRINTING_FILE);
  QStringList paths;
  // Beside the code that loads it (the window's module, beside the program in the build tree): the
  // program loaded that from its own place, never from the working directory.
  Dl_info self{};
  if (::dladdr(reinterpret_cast<void*>(&PrintingModulePaths), &self) != 0 &&
      self.dli_fname != nullptr && self.dli_fname[0] == '/') {
    paths << QFileInfo(QFile::decodeName(self.dli_fname)).dir().filePath(file);
  }
  paths << QStringLiteral(QUORVANE_PRINTING_INSTALLED "/") + file;
  return paths;
}

PrintEntry LoadPrinting(const QStringList& paths, QString& error) {
  error.clear();
  for (const QString& path : paths) {
    // A relative path would be looked for in the working directory or the library path.
    if (!QDir::isAbsolutePath(path)) {
      error += (error.isEmpty() ? QString() : QStringLiteral("\n")) + path +
               QStringLiteral(": not an absolute path");
      continue;
    }
    QLibrary module(path);
    // The report's code must not be unloaded while its dialogs may still be on the screen; the
    // library stays loaded after this object goes.
    QString why;
    if (!module.load()) {
      why = module.errorString();
    } else if (auto entry = reinterpret_cast<PrintEntry>(module.resolve(kPrintEntry))) {
      error.clear();
      return entry;
    } else {
      why = path + QStringLiteral(": not the printing module (no ") +
            QString::fromLatin1(kPrintEntry) + QStringLiteral(")");
    }
    error += (error.isEmpty() ? QString() : QStringLiteral("\n")) + why;
  }
  return nullptr;
}

void PrintOnDemand(const mainform::MainForm& main, QWidget* parent) {
  static PrintEntry entry = nullptr;
  if (entry == nullptr) {
    QString error;
    entry = LoadPrinting(PrintingModulePaths(), error);
    if (entry == nullptr) {
      // Paths and loader messages are shown as they are, never as markup, and with any control
      // character in a directory's name as an escape.
      QMessageBox box(QMessageBox::Warning, QStringLiteral("Print Info"),
                      QStringLiteral("Printing is not available: its module could not be loaded."),
                      QMessageBox::Ok, parent);
      box.setTextFormat(Qt::PlainText);
      box.setDetailedText(QString::fromStdString(
          visibletext::EscapedLines(error.toStdString(), platform::TextEncoding::Utf8)));
      box.exec();
      return;
    }
  }
  entry(&main, parent);
}

}  // namespace report
