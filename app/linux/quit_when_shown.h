// Ends the event loop once a widget's window has been exposed (mapped and drawable) for the first
// time: the moment a user first sees it. For start-up measurements: the window module does it when
// asked (kQuitWhenShown), and the benchmarks' empty window alike.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

namespace app {

class ExposeWatcher : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose) {
      auto* window = qobject_cast<QWindow*>(watched);
      if (window != nullptr && window->isExposed()) {
        QCoreApplication::quit();
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

inline void QuitWhenExposed(QWidget& widget) {
  widget.winId();  // makes sure the native window exists before the watcher is put on it
  widget.windowHandle()->installEventFilter(new ExposeWatcher(&widget));
}

}  // namespace app
