// Print Info's printing module: found and loaded only when asked, and a missing or foreign module
// is refused with the reason rather than called.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/loaded_libraries.h"
#include "tests/ui/qt_app.h"
#include "ui/main/qt/printing_module.h"

namespace {

class PrintingModule : public ::testing::Test {
 protected:
  PrintingModule() { testing_support::App(); }
};

// The one test that loads the module: Qt's printing library comes in with it and not before.
TEST_F(PrintingModule, LoadsFromTheFirstPathThatHoldsItAndBringsQtPrintingWithIt) {
  EXPECT_FALSE(testing_support::LibraryLoaded("libQt6PrintSupport"))
      << "printing must not be loaded before it is asked";
  QString error;
  const report::PrintEntry entry = report::LoadPrinting(
      {QStringLiteral("/nonexistent/quorvane-printing.so"), QStringLiteral(QUORVANE_PRINTING)},
      error);
  EXPECT_NE(entry, nullptr) << error.toStdString();
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();
  EXPECT_TRUE(testing_support::LibraryLoaded("libQt6PrintSupport"));
}

TEST_F(PrintingModule, AMissingModuleIsReportedByItsPath) {
  QString error;
  EXPECT_EQ(report::LoadPrinting({QStringLiteral("/nonexistent/quorvane-printing.so")}, error),
            nullptr);
  EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/quorvane-printing.so")))
      << error.toStdString();
}

// A library that loads but is not the printing module is not called into.
TEST_F(PrintingModule, ALibraryWithoutTheEntryIsRefused) {
  Dl_info qtCore{};
  ASSERT_NE(::dladdr(reinterpret_cast<void*>(&qVersion), &qtCore), 0);
  QString error;
  EXPECT_EQ(report::LoadPrinting({QFile::decodeName(qtCore.dli_fname)}, error), nullptr);
  EXPECT_TRUE(error.contains(QString::fromLatin1(report::kPrintEntry))) << error.toStdString();
}

// A real printing module planted in the working directory is never loaded by a relative path.
TEST_F(PrintingModule, NothingIsLoadedFromTheWorkingDirectory) {
  QTemporaryDir planted;
  ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVANE_PRINTING),
                          planted.filePath(QStringLiteral("quorvane-printing.so"))));
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(planted.path()));
  QString error;
  const report::PrintEntry entry = report::LoadPrinting(
      {QStringLiteral("quorvane-printing.so"), QStringLiteral("./quorvane-printing.so")}, error);
  QDir::setCurrent(before);
  EXPECT_EQ(entry, nullptr);
  EXPECT_EQ(error.count(QStringLiteral("not an absolute path")), 2) << error.toStdString();
  EXPECT_FALSE(testing_support::LibraryLoaded("libQt6PrintSupport"));
}

// Beside the module whose code loads it (here the test program), then at its full install path:
// never a relative path, whatever the program was started as.
TEST_F(PrintingModule, IsLookedForBesideItsLoaderThenWhereItIsInstalled) {
  const QStringList paths = report::PrintingModulePaths();
  ASSERT_FALSE(paths.empty());
  for (const QString& path : paths) {
    EXPECT_EQ(QFileInfo(path).fileName(), QFileInfo(QStringLiteral(QUORVANE_PRINTING)).fileName());
    EXPECT_TRUE(QFileInfo(path).isAbsolute()) << path.toStdString();
  }
  EXPECT_TRUE(paths.back().endsWith(QStringLiteral("/quorvane/") + QFileInfo(paths[0]).fileName()))
      << paths.back().toStdString();
  if (paths.size() == 2) {
    EXPECT_EQ(QFileInfo(paths[0]).absolutePath(), QCoreApplication::applicationDirPath());
  }
}

}  // namespace
