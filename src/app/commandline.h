#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tintara {

// What the program's arguments ask for. Qt's own options, and their values, are passed over:
// QApplication takes them from the same arguments.
struct CommandLine
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The picture to start with; empty for none.
    QString picture;
    // What is wrong with the arguments, for an error.
    QString error;
};

// The arguments after the program's name. The first of --help, --version or a mistake decides.
CommandLine parseCommandLine(const QStringList& arguments);

// Prints the help, the version or the error, as a command-line program does, and gives the exit
// status; nothing when the arguments start the window.
std::optional<int> answerWithoutWindow(const CommandLine& line);

} // namespace tintara
