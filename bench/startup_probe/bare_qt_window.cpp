// The yardstick of the start-up benchmark: a bare Qt Widgets program that
// shows one window of the main window's size with a few child widgets.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QWidget Window;
  Window.setWindowTitle("bare");
  Window.resize(766, 970);
  QLabel Label("Benutzername", &Window);
  Label.move(8, 30);
  QLineEdit Edit(&Window);
  Edit.move(8, 50);
  QPushButton Button("Anmelden", &Window);
  Button.move(330, 50);
  Window.show();
  return App.exec();
}
