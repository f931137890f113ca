#pragma once

#include <QStringList>

class QTextStream;

// The program's face for a terminal: work done without a window.
namespace commandline {

// Whether the arguments (the program's name first) ask for the terminal face
// rather than the window: any argument that starts with '-' other than Qt's own.
bool wanted(const QStringList &arguments);

// Runs what the arguments ask for and returns the exit code: 0 when done,
// 1 with the reason on `err` otherwise. The master password, when one is
// needed, is read as a line from `in` (without echo on a terminal).
int run(const QStringList &arguments, QTextStream &in, QTextStream &out, QTextStream &err);

// The folder the desktop menu keeps the records in: $XDG_DATA_HOME/norva-rezado, by default
// ~/.local/share/norva-rezado.
QString desktopDataFolder();

// Takes `--data-dir DIR` (or `--data-dir` alone: the desktop's folder) out of `arguments`, makes the
// folder when it is missing (readable by its owner only) and makes it the working folder, where
// Norva.db and Yedekler/ are kept. Returns why that failed, in Turkish; empty when done or not asked.
QString useDataFolder(QStringList &arguments);

} // namespace commandline
