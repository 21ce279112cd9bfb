#include "app/CliHistory.h"

#include <QFileInfo>

#include "app/CliCommand.h"
#include "kernel/SettingsStore.h"
#include "kernel/Text.h"

namespace vantorix::cli {
namespace {

QDateTime localTime(const QString& text) {
    for (const char* form : {kDateTimeSecondsForm, kDateTimeForm}) {
        const QDateTime t = QDateTime::fromString(text.trimmed(), QLatin1String(form));
        if (t.isValid()) return t;
    }
    return {};
}

QDate day(const QString& text) {
    return QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
}

}  // namespace

bool takeOption(QStringList& args, const QString& name, QString& value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0) return true;
    if (at + 1 >= args.size()) {
        printError(QStringLiteral("%1 needs a value").arg(name));
        return false;
    }
    value = args[at + 1];
    args.remove(at, 2);
    return true;
}

std::unique_ptr<history::History> openCliHistory(QStringList& args, int& exitCode) {
    exitCode = kExitUsage;
    QString file;
    if (!takeOption(args, QStringLiteral("--history"), file)) return nullptr;
    if (!file.isEmpty() && !QFileInfo(file).isFile()) {
        printError(QStringLiteral("%1: no such history").arg(file));
        return nullptr;
    }
    const QString path = file.isEmpty() ? history::historyPath(QSettingsStore()) : file;
    auto h = std::make_unique<history::History>(path);
    if (const QString aside = h->takeSetAsideNotice(); !aside.isEmpty()) printError(aside);
    if (h->isOpen()) return h;
    printError(QStringLiteral("the run history %1 could not be opened").arg(path));
    exitCode = kExitFailure;
    return nullptr;
}

QDateTime sinceBound(const QString& text) {
    const QDate d = day(text);
    return d.isValid() ? d.startOfDay() : localTime(text);
}

QDateTime untilBound(const QString& text) {
    const QDate d = day(text);
    return d.isValid() ? d.addDays(1).startOfDay() : localTime(text);
}

QString cliField(const QString& text) {
    return terminalText(QString(text).replace(u'\t', u' '));
}

}  // namespace vantorix::cli
