// What runs and data files leave in the history (history/History.h), the same way for the
// desktop program and vantorix-cli: a run's start with the protocol it followed, its end, the
// files it wrote and the files the user opened. A history that cannot be written is never a
// reason to stop: the events wait in its pending file, and the user is told once.
#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

#include "history/History.h"
#include "measurement/RunSequence.h"

namespace vantorix {

class RunHistory {
  public:
    explicit RunHistory(const QString& databasePath);
    explicit RunHistory(std::unique_ptr<history::History> db);
    ~RunHistory();

    history::History& db() { return *db_; }

    // The protocol the next run follows, while the run options still equal `options` (changed
    // options make a run no longer that protocol's).
    void useProtocol(const QString& name, const QString& sha256, const RunOptions& options);
    void forgetProtocol() { protocol_.clear(); }

    // A run with these options began.
    void runStarted(const RunOptions& options);
    // After the run: the file it saved ("" when none), its outcome, and why it failed, if it did.
    void runEnded(const QString& savedFile, RunOutcome outcome, const QString& failure);
    // The run's file could not be written at `intended` and went to `path` instead.
    void savedElsewhere(const QString& intended, const QString& reason, const QString& path);
    // A data file the user opened (or a recovered run wrote): its facts, no event.
    void fileOpened(const QString& path);
    // A data file written outside a run (a recovered run): its facts and a "file saved" event.
    void fileWritten(const QString& path);
    void record(const history::Event& event);

    // What the user should hear of the history, once: "" when nothing new.
    QString takeNotice();

  private:
    history::FileFacts recordFacts(const QString& path, bool fromRun);

    std::unique_ptr<history::History> db_;
    QString protocol_, protocolSha256_;
    RunOptions protocolOptions_;
    bool runUsesProtocol_ = false;
    QDateTime runStart_, runEnd_;
};

}  // namespace vantorix
