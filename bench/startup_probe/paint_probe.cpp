// Linked into a program for the start-up benchmark: when the environment
// names a pipe in ZEL_FIRST_PAINT_FD, the end of the first paint of any
// widget writes one byte to it and ends the process at once.  Without that
// variable the program runs as usual.
#include <unistd.h>

#include <cstdlib>

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>

namespace {

class FirstPaint : public QObject {
public:
  explicit FirstPaint(int Fd) : FFd(Fd) {}
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (!FSeen && Event->type() == QEvent::Paint && Watched->isWidgetType()) {
      FSeen = true;
      // Reported once this paint (and the window's others queued with it) is done.
      const int Fd = FFd;
      QMetaObject::invokeMethod(
          QCoreApplication::instance(),
          [Fd] {
            const char Byte = 'p';
            std::_Exit(::write(Fd, &Byte, 1) == 1 ? 0 : 3);
          },
          Qt::QueuedConnection);
    }
    return false;
  }

private:
  int FFd;
  bool FSeen = false;
};

void InstallFirstPaintProbe() {
  const char* Fd = std::getenv("ZEL_FIRST_PAINT_FD");
  if (!Fd || !*Fd) return;
  QCoreApplication::instance()->installEventFilter(new FirstPaint(std::atoi(Fd)));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintProbe)
