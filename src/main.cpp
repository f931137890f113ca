#include "app/CNorvaMuhasebe10App.h"
#include "app/CommandLine.h"
#include "app/DatabaseChoice.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Where the books are kept is settled first: every file the program opens is named from there.
    const QString folderFailure = commandline::useDataFolder(arguments);
    // Work asked for from a terminal is done without a window.
    if (commandline::wanted(arguments)) {
        QCoreApplication terminal(argc, argv);
        QTextStream in(stdin);
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (!folderFailure.isEmpty()) {
            err << folderFailure << u'\n';
            return 1;
        }
        chooseDatabaseAtStart(arguments);
        return commandline::run(arguments, in, out, err);
    }
    QApplication application(argc, argv);
    if (!folderFailure.isEmpty()) {
        Desktop::current().applicationBox(folderFailure, Desktop::Icon::Error);
        return 1;
    }
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
