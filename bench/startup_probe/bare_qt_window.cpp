// The yardstick of the start-up benchmark: a Qt Widgets window of the main
// window's size with one label with text (so that, as in the program, the
// font database is read before the first paint), shown with the style the
// program uses (Fusion) on the same platform plugin.
#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QWidget Window;
  Window.resize(766, 970);
  QLabel Label("Benutzername", &Window);
  Label.move(8, 8);
  Window.show();
  return App.exec();
}
