// Where the history lives, and the facts it records of a data file.
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "history/History.h"
#include "kernel/SettingsKeys.h"
#include "kernel/SettingsStore.h"

namespace vantorix::history {
namespace {

QString optionsText(const RunOptions& o) {
    const std::pair<const char*, int> values[] = {{"Presamples", o.Presamples},
                                                  {"Postsamples", o.Postsamples},
                                                  {"Pump1Volume", o.Pump1Volume},
                                                  {"Pump2Volume", o.Pump2Volume},
                                                  {"Dwell", o.Dwell},
                                                  {"PostInjectDelay", o.PostInjectDelay},
                                                  {"Reaction", o.Reaction},
                                                  {"RepeatMode", o.RepeatMode ? 1 : 0},
                                                  {"Repeats", o.Repeats},
                                                  {"Delay", o.Delay},
                                                  {"Sensitive", o.Sensitive}};
    QStringList parts;
    for (const auto& [name, value] : values)
        parts << QLatin1String(name) + u'=' + QString::number(value);
    return parts.join(u';');
}

}  // namespace

QString defaultHistoryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vantorix/history.sqlite");
}

QString historyPath(const SettingsStore& settings) {
    const QString chosen =
        settings.read(settings::kHistory, settings::kHistoryDatabase, QString()).trimmed();
    return chosen.isEmpty() ? defaultHistoryPath() : chosen;
}

QString bytesSha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString fileSha256(const QString& path) {
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f)) return {};
    return QString::fromLatin1(hash.result().toHex());
}

FileFacts factsOf(const QString& path, const QByteArray& bytes, const PlateDocument& document,
                  const QDateTime& runStart, const QDateTime& runEnd) {
    FileFacts f;
    f.path = QFileInfo(path).absoluteFilePath();
    f.sha256 = bytesSha256(bytes);
    f.size = bytes.size();
    f.header = document.header;
    f.sets = document.setCount();
    for (int well = 0; well < kWellCount; ++well) f.wells += document.selected(well) ? 1 : 0;
    f.options = optionsText(document.options);
    f.firmware = document.firmwareVersion;
    f.runStart = runStart;
    f.runEnd = runEnd;
    return f;
}

}  // namespace vantorix::history
