#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Telvarim");
  QMainWindow w;
  w.setWindowTitle("Telvarim");
  w.show();
  return QApplication::exec();
}
