#include "measurement/RunRecovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/DataFileNaming.h"
#include "files/PlateFile.h"
#include "files/RecoveredNote.h"
#include "files/RegularFile.h"
#include "measurement/JournalDamage.h"
#include "measurement/RunJournal.h"
#include "plate/ReadingText.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vantorix {

namespace {

// Far more than a run of 255 datasets writes, so only a file that is no journal is refused.
constexpr qint64 kMaxJournalBytes = qint64(256) * 1024 * 1024;

void applyOptions(const QList<QByteArray>& f, PlateDocument& d) {
    if (f.size() < 3 || f[1].size() != kPlateRows * kPlateColumns) return;
    for (int i = 0; i < kPlateRows * kPlateColumns; ++i)
        d.options.SelectedWells[i / kPlateColumns][i % kPlateColumns] = f[1][i] == '1';
    d.options.Sensitive = qint16(f[2].toInt());
}

void applyIntendedSets(const QList<QByteArray>& f, JournalContents& c) {
    if (f.size() >= 4) c.intendedSets = std::clamp(f[3].toInt(), 0, int(kMaxSets));
}

void applyText(const QList<QByteArray>& f, PlateDocument& d, JournalContents& c) {
    if (f.size() < 3) return;
    const QString text = journal::decode(f[2]);
    if (f[1] == "operator") d.header.operatorName = text;
    if (f[1] == "test") d.header.test = text;
    if (f[1] == "plate") d.header.plateNo = text;
    if (f[1] == "notes") d.header.notes = text;
    if (f[1] == "firmware" && !text.isEmpty()) d.firmwareVersion = text;
    if (f[1] == "file") c.targetFile = text;
}

// A reading record; false when its numbers lie off the plate.
bool applyReading(const QList<QByteArray>& f, PlateDocument& d, JournalContents& c) {
    if (f.size() < 6) return false;
    const int set = f[1].toInt(), row = f[2].toInt(), column = f[3].toInt();
    if (set < 1 || set > kMaxSets || row < 1 || row > kPlateRows || column < 1 ||
        column > kPlateColumns)
        return false;
    while (c.datasets < set) d.clearSet(++c.datasets);
    WellReading& well = d.dataset(set).at(row - 1, column - 1);
    well.raw = readingFromText(journal::decode(f[4]));
    well.seconds = secondsFromText(journal::decode(f[5]));
    ++c.readings;
    return true;
}

// False when the record is whole but makes no sense (a reading off the plate).
bool applyRecord(const QByteArray& payload, PlateDocument& d, JournalContents& c,
                 JournalDamage& damage) {
    const QList<QByteArray> f = payload.split(' ');
    if (f[0] == "started" && f.size() > 1)
        c.started = QDateTime::fromString(QString::fromLatin1(f[1]), Qt::ISODate);
    else if (f[0] == "options") {
        applyOptions(f, d);
        applyIntendedSets(f, c);
    } else if (f[0] == "text")
        applyText(f, d, c);
    else if (f[0] == "reading")
        return applyReading(f, d, c);
    else if (f[0] == "dataset" && f.size() > 1) {
        c.completedSets = std::max(c.completedSets, std::min(f[1].toInt(), c.datasets));
        damage.completed(f[1].toInt());
    }
    return true;
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

JournalContents readJournal(const QString& path, PlateDocument& d) {
    JournalContents c;
    QByteArray bytes;
    QString reason;
    if (!readRegularFile(path, kMaxJournalBytes, bytes, &reason)) {
        c.error = QStringLiteral("%1: %2").arg(path, reason);
        return c;
    }
    QList<QByteArray> lines = bytes.split('\n');
    // What follows the last line end is a record the crash cut short.
    const QByteArray tail = lines.isEmpty() ? QByteArray() : lines.takeLast();
    const bool tornTail = !tail.isEmpty();
    QByteArray payload;
    if (lines.isEmpty() || !journal::payloadOf(lines[0], payload) || payload != journal::kMagic) {
        c.error = QStringLiteral("%1 is not a run journal").arg(path);
        return c;
    }
    JournalDamage damage;
    qsizetype byte = lines[0].size() + 1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const bool whole = journal::payloadOf(lines[i], payload);
        if (!whole || !applyRecord(payload, d, c, damage))
            damage.leftOut(lines[i], i + 1, byte, !tornTail && i + 1 == lines.size());
        byte += lines[i].size() + 1;
    }
    if (tornTail) damage.leftOut(tail, lines.size() + 1, byte, true);
    c.note = damage.note(QFileInfo(path).fileName(), d, d.options.SelectedWells, c.datasets);
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

QString readingsInDatasets(int readings, int datasets) {
    return QStringLiteral("%1 reading%2 in %3 dataset%4")
        .arg(readings)
        .arg(readings == 1 ? QString() : QStringLiteral("s"))
        .arg(datasets)
        .arg(datasets == 1 ? QString() : QStringLiteral("s"));
}

QString recoveryQuestion(const JournalContents& c) {
    return QStringLiteral("A run of %1 with %2 was interrupted. Recover it?")
        .arg(c.started.toString(QStringLiteral("yyyy-MM-dd hh:mm")),
             readingsInDatasets(c.readings, c.datasets));
}

QString runDescription(const PlateHeader& h) {
    QStringList parts;
    const std::pair<const char*, const QString*> fields[] = {
        {"plate", &h.plateNo}, {"test", &h.test}, {"operator", &h.operatorName}};
    for (const auto& [name, text] : fields)
        if (!text->trimmed().isEmpty())
            parts << QStringLiteral("%1 %2").arg(QLatin1String(name), text->trimmed());
    return parts.join(QStringLiteral(", "));
}

RecoveryResult recoverJournal(const QString& journalPath, const QString& outPath) {
    RecoveryResult r;
    if (heldByARunningProgram(journalPath)) {
        r.written = {false, QStringLiteral("%1 belongs to a run that is still going on")
                                .arg(QDir::toNativeSeparators(journalPath))};
        return r;
    }
    PlateDocument d;
    r.contents = readJournal(journalPath, d);
    if (!r.contents.ok) {
        r.written = {false, r.contents.error};
        return r;
    }
    if (r.contents.readings == 0) {
        r.written = {false, QStringLiteral("%1 holds no readings").arg(journalPath)};
        return r;
    }
    const QString note = recoveredNote(r.contents.completedSets,
                                       std::max(r.contents.intendedSets, r.contents.datasets));
    QString& notes = d.header.notes;
    notes = notes.isEmpty() ? note : note + u' ' + notes;
    const QFileInfo out(withOvdExtension(outPath));
    // Dated as a saved run is: when it ended, which is when its journal was last written.
    const QDateTime ended = QFileInfo(journalPath).lastModified();
    r.written = writePlateFile(runDocument(d, d.options, 1, r.contents.datasets),
                               QDir::toNativeSeparators(QDir::cleanPath(out.absoluteFilePath())),
                               ended.isValid() ? ended : r.contents.started);
    if (!r.written.ok) return r;
    if (r.contents.note.isEmpty()) {
        QFile::remove(journalPath);
        return r;
    }
    // A damaged journal stays for inspection, where no listing offers it again.
    QString kept = journalPath;
    if (kept.endsWith(QLatin1String(".declined"))) kept.chop(9);
    kept += QStringLiteral(".recovered");
    r.keptAs = QFile::rename(journalPath, kept) ? kept : journalPath;
    return r;
}

}  // namespace vantorix
