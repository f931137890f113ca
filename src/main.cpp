#include "app/CNorvaMuhasebe10App.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    CNorvaMuhasebe10App theApp;
    QObject::connect(
        &theApp, &CNorvaMuhasebe10App::quitRequested, &application,
        [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    if (!theApp.InitInstance())
        return theApp.ExitInstance();
    const int exitCode = QApplication::exec();
    theApp.ExitInstance();
    return exitCode;
}
