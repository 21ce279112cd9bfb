#include "history/AuditEvent.h"

#include "history/AuditCodec.h"

#include <QCryptographicHash>
#include <array>

namespace vantorix::history {
namespace {

struct KindName {
    EventKind kind;
    const char* name;
};

constexpr std::array<KindName, 12> kKindNames{{
    {EventKind::RunStarted, "run.started"},
    {EventKind::RunCompleted, "run.completed"},
    {EventKind::RunCancelled, "run.cancelled"},
    {EventKind::RunRecovered, "run.recovered"},
    {EventKind::FileSaved, "file.saved"},
    {EventKind::FileSavedElsewhere, "file.saved-elsewhere"},
    {EventKind::HeaderChanged, "header.changed"},
    {EventKind::ExportWritten, "export.written"},
    {EventKind::ReportWritten, "report.written"},
    {EventKind::AnalysisDone, "analysis.done"},
    {EventKind::FirmwareSent, "firmware.sent"},
    {EventKind::SettingsChanged, "settings.changed"},
}};

Event make(EventKind kind, const QString& file, Fields fields) {
    return Event{kind, file, std::move(fields)};
}

}  // namespace

QString kindName(EventKind kind) {
    for (const KindName& k : kKindNames)
        if (k.kind == kind) return QString::fromLatin1(k.name);
    return {};
}

bool kindFromName(const QString& name, EventKind& kind) {
    for (const KindName& k : kKindNames) {
        if (name == QLatin1String(k.name)) {
            kind = k.kind;
            return true;
        }
    }
    return false;
}

QString fieldValue(const Fields& fields, const QString& name) {
    for (const auto& [n, v] : fields)
        if (n == name) return v;
    return {};
}

namespace events {

Event runStarted(const QString& protocol, const QString& protocolSha256) {
    return make(EventKind::RunStarted, {},
                {{QStringLiteral("protocol"), protocol},
                 {QStringLiteral("protocol_sha256"), protocolSha256}});
}

Event runCompleted(const QString& file, int sets) {
    return make(EventKind::RunCompleted, file, {{QStringLiteral("sets"), QString::number(sets)}});
}

Event runCancelled(const QString& reason, const QString& file) {
    return make(EventKind::RunCancelled, file, {{QStringLiteral("reason"), reason}});
}

Event runRecovered(const QString& journal, const QString& file) {
    return make(EventKind::RunRecovered, file, {{QStringLiteral("journal"), journal}});
}

Event fileSaved(const QString& file, const QString& sha256) {
    return make(EventKind::FileSaved, file, {{QStringLiteral("sha256"), sha256}});
}

Event fileSavedElsewhere(const QString& intended, const QString& reason, const QString& file,
                         const QString& sha256) {
    return make(EventKind::FileSavedElsewhere, file,
                {{QStringLiteral("intended"), intended},
                 {QStringLiteral("reason"), reason},
                 {QStringLiteral("sha256"), sha256}});
}

Event headerChanged(const QString& file, const QString& field, const QString& oldText,
                    const QString& newText) {
    return make(EventKind::HeaderChanged, file,
                {{QStringLiteral("field"), field},
                 {QStringLiteral("old"), oldText},
                 {QStringLiteral("new"), newText}});
}

Event exportWritten(const QString& file, const QString& kind, const QString& path) {
    return make(EventKind::ExportWritten, file,
                {{QStringLiteral("kind"), kind}, {QStringLiteral("path"), path}});
}

Event reportWritten(const QString& file, const QString& kind, const QString& path) {
    return make(EventKind::ReportWritten, file,
                {{QStringLiteral("kind"), kind}, {QStringLiteral("path"), path}});
}

Event analysisDone(const QString& file, const QString& layoutSha256, const QString& model,
                   const std::vector<ExcludedWell>& excluded) {
    Fields fields{{QStringLiteral("layout_sha256"), layoutSha256},
                  {QStringLiteral("model"), model}};
    for (const ExcludedWell& w : excluded)
        fields.emplace_back(QStringLiteral("excluded.") + w.well, w.reason);
    return make(EventKind::AnalysisDone, file, std::move(fields));
}

Event firmwareSent(const QString& imageSha256, const QString& outcome) {
    return make(
        EventKind::FirmwareSent, {},
        {{QStringLiteral("image_sha256"), imageSha256}, {QStringLiteral("outcome"), outcome}});
}

Event settingsChanged(const QString& key, const QString& oldValue, const QString& newValue) {
    return make(EventKind::SettingsChanged, {},
                {{QStringLiteral("key"), key},
                 {QStringLiteral("old"), oldValue},
                 {QStringLiteral("new"), newValue}});
}

}  // namespace events

QByteArray encodeFields(const Fields& fields) {
    QByteArray out;
    for (const auto& [name, value] : fields) {
        const QByteArray utf8 = value.toUtf8();
        out += name.toUtf8() + ' ' + QByteArray::number(utf8.size()) + '\n' + utf8 + '\n';
    }
    return out;
}

bool decodeFields(const QByteArray& text, Fields& fields) {
    fields.clear();
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype space = text.indexOf(' ', at), eol = text.indexOf('\n', at);
        if (space < 0 || eol < space) return false;
        bool ok = false;
        const qsizetype length = text.mid(space + 1, eol - space - 1).toLongLong(&ok);
        if (!ok || length < 0 || eol + 1 + length + 1 > text.size() ||
            text[eol + 1 + length] != '\n')
            return false;
        fields.emplace_back(QString::fromUtf8(text.mid(at, space - at)),
                            QString::fromUtf8(text.mid(eol + 1, length)));
        at = eol + 1 + length + 1;
    }
    return true;
}

QString utcText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QByteArray canonicalOf(const StoredColumns& c) {
    return "vantorix-audit 1\n" +
           encodeFields({{QStringLiteral("seq"), QString::number(c.seq)},
                         {QStringLiteral("id"), c.id},
                         {QStringLiteral("time"), c.time},
                         {QStringLiteral("kind"), c.kind},
                         {QStringLiteral("login"), c.login},
                         {QStringLiteral("host"), c.host},
                         {QStringLiteral("version"), c.version},
                         {QStringLiteral("file"), c.file}}) +
           c.fields;
}

StoredColumns columnsOf(const StoredEvent& e) {
    return {e.seq,
            e.id,
            utcText(e.time),
            kindName(e.event.kind),
            e.login,
            e.host,
            e.programVersion,
            e.event.file,
            encodeFields(e.event.fields)};
}

QByteArray canonicalBytes(const StoredEvent& e) {
    return canonicalOf(columnsOf(e));
}

QByteArray chainValue(const QByteArray& previous, const QByteArray& canonical) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previous);
    hash.addData(canonical);
    return hash.result();
}

}  // namespace vantorix::history
