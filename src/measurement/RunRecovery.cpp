#include "measurement/RunRecovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/DataFileNaming.h"
#include "files/RegularFile.h"
#include "measurement/RunJournal.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vantorix {

namespace {

// Far more than a run of 255 datasets writes, so only a file that is no journal is refused.
constexpr qint64 kMaxJournalBytes = qint64(256) * 1024 * 1024;

void applyOptions(const QList<QByteArray>& f, ProgramState& s) {
    if (f.size() < 3 || f[1].size() != kPlateRows * kPlateColumns) return;
    for (int i = 0; i < kPlateRows * kPlateColumns; ++i)
        s.CurrentOptions.SelectedWells[i / kPlateColumns][i % kPlateColumns] = f[1][i] == '1';
    s.CurrentOptions.Sensitive = qint16(f[2].toInt());
}

void applyText(const QList<QByteArray>& f, ProgramState& s, JournalContents& c) {
    if (f.size() < 3) return;
    const QString text = journal::decode(f[2]);
    if (f[1] == "operator") s.Operator = text;
    if (f[1] == "test") s.Test = text;
    if (f[1] == "plate") s.PlateNo = text;
    if (f[1] == "notes") s.Notes = text;
    if (f[1] == "firmware" && !text.isEmpty()) s.FirmwareVersion = text;
    if (f[1] == "file") c.targetFile = text;
}

// A reading record; false when its numbers lie off the plate.
bool applyReading(const QList<QByteArray>& f, ProgramState& s, JournalContents& c) {
    if (f.size() < 6) return false;
    const int set = f[1].toInt(), row = f[2].toInt(), column = f[3].toInt();
    if (set < 1 || set > kMaxSets || row < 1 || row > kPlateRows || column < 1 ||
        column > kPlateColumns)
        return false;
    while (c.datasets < set) s.readings.clearSet(++c.datasets);
    s.readings.at(set, row, column) = {journal::decode(f[4]), journal::decode(f[5])};
    ++c.readings;
    return true;
}

void applyRecord(const QByteArray& payload, ProgramState& s, JournalContents& c, int& damaged) {
    const QList<QByteArray> f = payload.split(' ');
    if (f[0] == "started" && f.size() > 1)
        c.started = QDateTime::fromString(QString::fromLatin1(f[1]), Qt::ISODate);
    else if (f[0] == "options")
        applyOptions(f, s);
    else if (f[0] == "text")
        applyText(f, s, c);
    else if (f[0] == "reading") {
        if (!applyReading(f, s, c)) ++damaged;
    } else if (f[0] == "dataset" && f.size() > 1)
        c.completedSets = std::max(c.completedSets, std::min(f[1].toInt(), c.datasets));
}

bool heldByARunningProgram(const QString& path) {
#ifdef Q_OS_UNIX
    // Non-blocking: a FIFO in the journal's place must not hang the caller.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
#else
    Q_UNUSED(path);
    return false;
#endif
}

}  // namespace

JournalContents readJournal(const QString& path, ProgramState& s) {
    JournalContents c;
    QByteArray bytes;
    QString reason;
    if (!readRegularFile(path, kMaxJournalBytes, bytes, &reason)) {
        c.error = QStringLiteral("%1: %2").arg(path, reason);
        return c;
    }
    QList<QByteArray> lines = bytes.split('\n');
    // What follows the last line end is a record the crash cut short.
    const bool tornTail = !lines.isEmpty() && !lines.takeLast().isEmpty();
    QByteArray payload;
    if (lines.isEmpty() || !journal::payloadOf(lines[0], payload) || payload != journal::kMagic) {
        c.error = QStringLiteral("%1 is not a run journal").arg(path);
        return c;
    }
    int damaged = tornTail ? 1 : 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (journal::payloadOf(lines[i], payload))
            applyRecord(payload, s, c, damaged);
        else
            ++damaged;
    }
    if (damaged > 0)
        c.note = QStringLiteral("%1 damaged record(s) at the end of %2 were left out")
                     .arg(damaged)
                     .arg(QFileInfo(path).fileName());
    s.FirstSet = 1;
    s.LastSet = qint16(c.datasets);
    c.ok = true;
    return c;
}

QStringList interruptedJournals(const QString& folder, bool includeDeclined) {
    QStringList patterns{QStringLiteral("*.journal")};
    if (includeDeclined) patterns << QStringLiteral("*.journal.declined");
    QStringList out;
    const QFileInfoList found =
        QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : found)
        if (!heldByARunningProgram(info.filePath())) out << info.filePath();
    return out;
}

QString recoveryQuestion(const JournalContents& c) {
    return QStringLiteral(
               "A run of %1 with %2 readings in %3 datasets was interrupted. Recover it?")
        .arg(c.started.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
        .arg(c.readings)
        .arg(c.datasets);
}

RecoveryResult recoverJournal(const QString& journalPath, const QString& outPath) {
    RecoveryResult r;
    if (heldByARunningProgram(journalPath)) {
        r.written = {false, QStringLiteral("%1 belongs to a run that is still going on")
                                .arg(QDir::toNativeSeparators(journalPath))};
        return r;
    }
    ProgramState s;
    r.contents = readJournal(journalPath, s);
    if (!r.contents.ok) {
        r.written = {false, r.contents.error};
        return r;
    }
    if (r.contents.readings == 0) {
        r.written = {false, QStringLiteral("%1 holds no readings").arg(journalPath)};
        return r;
    }
    const QFileInfo out(withOvdExtension(outPath));
    s.DataFileName = out.absoluteFilePath();
    s.DataFolder = out.absolutePath();
    r.written =
        WriteDataFile(s, r.contents.started.isValid() ? r.contents.started
                                                      : QFileInfo(journalPath).lastModified());
    if (r.written.ok) QFile::remove(journalPath);
    return r;
}

}  // namespace vantorix
