// Print Info's printing module: found and loaded only when asked, and a missing or foreign module
// is refused with the reason rather than called.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>

#include "tests/support/loaded_libraries.h"
#include "tests/ui/qt_app.h"
#include "ui/main/report_module.h"

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

TEST_F(PrintingModule, IsLookedForBesideTheProgramFirst) {
  const QStringList paths = report::PrintingModulePaths();
  ASSERT_EQ(paths.size(), 2);
  EXPECT_EQ(QFileInfo(paths[0]).absolutePath(), QCoreApplication::applicationDirPath());
  EXPECT_EQ(QFileInfo(paths[0]).fileName(), QFileInfo(paths[1]).fileName());
  EXPECT_TRUE(paths[1].endsWith(QStringLiteral("/quorvane/") + QFileInfo(paths[0]).fileName()))
      << paths[1].toStdString();
}

}  // namespace
