// The yardstick for the start-up benchmark: the smallest Qt Widgets program
// that shows a main window, a QMainWindow holding one label and nothing else.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Norva Rezado"), &window));
    window.show();
    return QApplication::exec();
}
