// The reference for start-up: an empty Qt window of the main window's size that quits as soon as it
// is first exposed, so that process start to exit measures start to shown.
#include <QApplication>
#include <QWidget>
#include <QWindow>

#include "app/linux/quit_when_shown.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(413, 274);
  window.show();
  app::QuitWhenExposed(window);
  return QApplication::exec();
}
