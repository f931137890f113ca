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

} // namespace commandline
