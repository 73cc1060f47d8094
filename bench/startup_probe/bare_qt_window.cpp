// The yardstick of the start-up benchmark: an empty Qt Widgets window of the
// main window's size, shown with the style the program uses (Fusion) on the
// same platform plugin.
#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QWidget Window;
  Window.resize(766, 970);
  Window.show();
  return App.exec();
}
