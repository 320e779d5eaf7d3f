// Print Info's printing module: found and loaded only when asked, and a missing or foreign module
// is refused with the reason rather than called.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>

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
  QString error;
  EXPECT_EQ(report::LoadPrinting({QStringLiteral("libz.so.1")}, error), nullptr);
  EXPECT_TRUE(error.contains(QString::fromLatin1(report::kPrintEntry))) << error.toStdString();
}

// Beside the program first (the build tree), then where the install puts it: the way from the
// program's directory, which holds wherever the installed tree is unpacked, and the full path.
TEST_F(PrintingModule, IsLookedForBesideTheProgramThenWhereItIsInstalled) {
  const QStringList paths = report::PrintingModulePaths();
  ASSERT_EQ(paths.size(), 3);
  EXPECT_EQ(QFileInfo(paths[0]).absolutePath(), QCoreApplication::applicationDirPath());
  for (const QString& path : paths) {
    EXPECT_EQ(QFileInfo(path).fileName(), QFileInfo(paths[0]).fileName());
    EXPECT_TRUE(QFileInfo(path).isAbsolute()) << path.toStdString();
  }
  for (const QString& installed : {paths[1], paths[2]}) {
    EXPECT_TRUE(installed.endsWith(QStringLiteral("/quorvane/") + QFileInfo(paths[0]).fileName()))
        << installed.toStdString();
  }
}

}  // namespace
