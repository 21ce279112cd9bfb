#include "measurement/RunHistory.h"

#include <QFileInfo>

#include "files/PlateFile.h"
#include "files/RegularFile.h"
#include "kernel/DataPaths.h"

namespace vantorix {

namespace {

// Data files are small; this bounds what is read for the hash of a file that is not one.
constexpr qint64 kMaxHashedBytes = 64 << 20;

QString absolute(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

}  // namespace

RunHistory::RunHistory(const QString& databasePath)
    : db_(std::make_unique<history::History>(databasePath)) {}

RunHistory::RunHistory(std::unique_ptr<history::History> db) : db_(std::move(db)) {}

RunHistory::~RunHistory() = default;

void RunHistory::useProtocol(const QString& name, const QString& sha256,
                             const RunOptions& options) {
    protocol_ = name;
    protocolSha256_ = sha256;
    protocolOptions_ = options;
}

void RunHistory::runStarted(const RunOptions& options) {
    // Options changed after the protocol was chosen make the run no longer that protocol's.
    runUsesProtocol_ = !protocol_.isEmpty() && options == protocolOptions_;
    runStart_ = QDateTime::currentDateTimeUtc();
    runEnd_ = {};
    record(runUsesProtocol_ ? history::events::runStarted(protocol_, protocolSha256_)
                            : history::events::runStarted());
}

void RunHistory::runEnded(const QString& savedFile, RunOutcome outcome, const QString& failure) {
    runEnd_ = QDateTime::currentDateTimeUtc();
    const QString file = absolute(savedFile);
    history::FileFacts facts;
    if (!file.isEmpty()) {
        facts = recordFacts(file, true);
        record(history::events::fileSaved(file, facts.sha256));
    }
    switch (outcome) {
        case RunOutcome::Completed:
            record(history::events::runCompleted(file, facts.sets));
            break;
        case RunOutcome::Cancelled:
            record(history::events::runCancelled(
                failure.isEmpty() ? QStringLiteral("cancelled by the user") : failure, file));
            break;
        case RunOutcome::Failed:
            record(history::events::runCancelled(failure, file));
            break;
        case RunOutcome::NotStarted:
            record(history::events::runCancelled(QStringLiteral("no file was named"), file));
            break;
    }
}

void RunHistory::savedElsewhere(const QString& intended, const QString& reason,
                                const QString& path) {
    const QString file = absolute(path);
    const QString sha = recordFacts(file, true).sha256;
    record(history::events::fileSavedElsewhere(absolute(intended), reason, file, sha));
}

void RunHistory::fileOpened(const QString& path) {
    recordFacts(absolute(path), false);
}

void RunHistory::fileWritten(const QString& path) {
    const QString file = absolute(path);
    record(history::events::fileSaved(file, recordFacts(file, false).sha256));
}

history::FileFacts RunHistory::recordFacts(const QString& path, bool fromRun) {
    QByteArray bytes;
    QString reason;
    if (!readRegularFile(path, kMaxHashedBytes, bytes, &reason)) return {};
    const PlateFileRead read = readPlateFile(path);
    history::FileFacts facts =
        history::factsOf(path, bytes, read.document, fromRun ? runStart_ : QDateTime(),
                         fromRun ? runEnd_ : QDateTime());
    if (fromRun && runUsesProtocol_) {
        facts.protocol = protocol_;
        facts.protocolSha256 = protocolSha256_;
    }
    db_->recordFile(facts);
    return facts;
}

void RunHistory::record(const history::Event& event) {
    db_->appendEvent(event);
}

QString RunHistory::takeNotice() {
    QStringList notices;
    for (const QString& n : {db_->takeSetAsideNotice(), db_->takeWriteNotice()})
        if (!n.isEmpty()) notices << n;
    return notices.join(u'\n');
}

}  // namespace vantorix
