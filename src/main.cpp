#include "app/CNorvaMuhasebe10App.h"
#include "app/CommandLine.h"
#include "app/DatabaseChoice.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Work asked for from a terminal is done without a window.
    if (commandline::wanted(arguments)) {
        QCoreApplication terminal(argc, argv);
        chooseDatabaseAtStart(arguments);
        QTextStream in(stdin);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return commandline::run(QCoreApplication::arguments(), in, out, err);
    }
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
