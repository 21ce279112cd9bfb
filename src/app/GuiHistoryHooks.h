// The desktop program's history: File > History, the protocol entries of the File menu, and
// what the program records (a run's start with its protocol and its end, the files it saves and
// opens, header texts changed in a saved file's window, settings changed). A history that
// cannot be written stops nothing; the user is told once, in one notice.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>

#include "kernel/SettingsStore.h"
#include "measurement/RunHistory.h"

class QLineEdit;
class QThread;

namespace vantorix {

class GuiAnalysisView;
class Scheduler;
class frmHistory;
class frmMain;
class frmZyvora;
class DocumentSession;

class GuiHistoryHooks : public QObject {
    Q_OBJECT
  public:
    using OpenHistory = std::function<std::unique_ptr<RunHistory>()>;
    // Owned by the frame; `protocolsFolder` is where protocols are listed and saved. The history
    // is opened when first needed, so it costs the program's start nothing.
    GuiHistoryHooks(frmMain& frame, Scheduler& scheduler, OpenHistory openHistory,
                    const QString& protocolsFolder);
    ~GuiHistoryHooks() override;
    // The frame's hooks, or null when none were installed.
    static GuiHistoryHooks* of(const frmMain& frame);

    RunHistory& history();
    // A data file the user opened.
    void fileOpened(const QString& path);
    // An interrupted run was written to `path` from its journal.
    void recovered(const QString& path);
    void record(const history::Event& event);

    // Checks the database on a worker thread with a History of its own (a large one takes a
    // second or more); a damaged database is set aside there and the user is told once.
    void checkIntegrityInBackground(const QString& database);

    void showHistory();
    void newFromProtocol();
    void saveSettingsAsProtocol();

  private:
    void hookMeasurementWindow(frmZyvora* window);
    void analysed(const GuiAnalysisView& view);
    void watchHeaderField(QLineEdit* field, const QString& name);
    void tellOnce();

    frmMain& frame_;
    DocumentSession& session_;
    Scheduler& scheduler_;
    OpenHistory openHistory_;
    std::unique_ptr<RunHistory> history_;
    QString protocolsFolder_;
    QPointer<frmHistory> window_;
    std::unique_ptr<QThread> integrityCheck_;
    QHash<QLineEdit*, QString> headerBefore_;  // each field's text when editing began
    QSet<QLineEdit*> edited_;                  // fields the user is editing
    history::Event lastAnalysis_;              // an analysis shown again is recorded once
};

// The settings store the desktop program writes through: each stored value that changes is
// also a "settings changed" event.
class AuditedSettingsStore : public SettingsStore {
  public:
    AuditedSettingsStore(SettingsStore& store, std::function<void(history::Event)> record)
        : store_(store), record_(std::move(record)) {}
    QString read(const QString& section, const QString& key,
                 const QString& fallback) const override {
        return store_.read(section, key, fallback);
    }
    void write(const QString& section, const QString& key, const QString& value) override;
    void sync() override { store_.sync(); }
    bool failed() const override { return store_.failed(); }
    QString location() const override { return store_.location(); }
    QString readFailure() const override { return store_.readFailure(); }

  private:
    SettingsStore& store_;
    std::function<void(history::Event)> record_;
};

}  // namespace vantorix
