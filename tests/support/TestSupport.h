// Helpers shared by the test programs.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Readable QString values in GoogleTest messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (const QString& s : l) *os << '"' << s.toStdString() << "\" ";
    *os << '}';
}

namespace vantorix::test {

// Result of running vantorix-cli.
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built vantorix-cli with the arguments, in workingDir when given.
CliResult runCli(const QStringList& args, const QString& workingDir = {}, int timeout_ms = 60000);

// Reads / writes a whole file as bytes.
QByteArray readFileBytes(const QString& path);
void writeFileBytes(const QString& path, const QByteArray& bytes);
// Makes a FIFO (named pipe) at path; false where the system has none (not POSIX).
bool makeFifo(const QString& path);

// An empty per-user data folder of the test's own for as long as it lives (XDG_DATA_HOME, which
// the programs the test starts inherit): the recovery folder under it is nobody else's, and a
// test run outside ctest never touches the user's own journals.
class OwnDataFolder {
  public:
    OwnDataFolder();
    ~OwnDataFolder();
    OwnDataFolder(const OwnDataFolder&) = delete;
    OwnDataFolder& operator=(const OwnDataFolder&) = delete;

  private:
    QTemporaryDir dir_;
    QByteArray before_;
};

// Creates the application object once, for tests that need an event loop.
void ensureApp();

// The next scripted answer, taken off the front, or the fallback once the script is used up.
template <typename Queue, typename T>
T nextAnswer(Queue& script, T fallback) {
    if (script.empty()) return fallback;
    T given = script.front();
    script.pop_front();
    return given;
}

}  // namespace vantorix::test
