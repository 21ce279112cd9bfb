// Sub-commands of vantorix-cli. Each cli_*.cpp file registers its command with a static
// CliCommand object; main() dispatches on the first argument.
#pragma once

#include <QStringList>
#include <functional>
#include <map>

namespace vantorix::cli {

// Exit codes shared by all sub-commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 3;

struct CliCommand {
    using Handler = std::function<int(const QStringList& args)>;
    // More text for "COMMAND --help", made when asked (it may list names known only then).
    using Details = std::function<QString()>;
    CliCommand(const char* name, const char* usage, Handler handler, Details details = {});
};

struct CommandEntry {
    QString usage;
    CliCommand::Handler handler;
    CliCommand::Details details;
};

// "--help" and "-h" ask for help wherever they stand among a command's arguments.
bool asksForHelp(const QStringList& args);
std::map<QString, CommandEntry>& commands();

// Prints "vantorix-cli: <message>" to stderr.
void printError(const QString& message);
// Prints the message and the command's usage line; returns the exit code of bad usage.
int usageError(const QString& message, const char* usage);
// Prints the usage lines of every command to stdout (help) or stderr (bad usage).
void printUsage(bool toStderr);

}  // namespace vantorix::cli
