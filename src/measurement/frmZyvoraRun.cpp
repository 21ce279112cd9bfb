// The measurement window during and after a run: the run's questions and updates, saving
// with a second chance, and closing without losing data.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include "files/DataFileNaming.h"
#include "files/OvdLoader.h"
#include "files/ParseDump.h"
#include "kernel/DataPaths.h"
#include "kernel/Scheduler.h"
#include "kernel/Text.h"
#include "measurement/RunSequence.h"
#include "measurement/RunTexts.h"
#include "measurement/frmZyvoraFrontEnd.h"
#include "plate/DocumentSession.h"
#include "results/GuiResultsGrid.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

// --- What the run asks and shows ---

void frmZyvora::FrontEnd::askDataFileName(const QString& proposedTitle, const QString& folder,
                                          std::function<void(QString)> answer) {
    w_.dialogs_.askDataFileName(&w_, proposedTitle, folder, std::move(answer));
}

void frmZyvora::FrontEnd::askRetryCancel(const QString& title, const QString& text,
                                         std::function<void(bool)> answer) {
    w_.dialogs_.askRetryCancel(&w_, title, text, std::move(answer));
}

void frmZyvora::FrontEnd::askOkCancel(const QString& text, std::function<void(bool)> answer) {
    w_.dialogs_.askOkCancel(&w_, text, std::move(answer));
}

void frmZyvora::FrontEnd::askKeepPartial(const QString& text, int,
                                         std::function<void(bool)> answer) {
    // The user who closed the window mid-run has already said.
    if (w_.closing_ && w_.keepPartialOnClose_) return answer(*w_.keepPartialOnClose_);
    w_.dialogs_.askYesNo(&w_, text, std::move(answer));
}

void frmZyvora::FrontEnd::notify(const QString& text) {
    // The user who closes the program knows the run is being cancelled.
    if (!w_.closing_) w_.dialogs_.inform(&w_, text);
}

void frmZyvora::FrontEnd::reportError(const QString& text) {
    w_.dialogs_.warn(&w_, text);
}

void frmZyvora::FrontEnd::saveFailed(const QString& reason) {
    w_.saveFailed(reason);
}

void frmZyvora::FrontEnd::setStatusLine(const QString& text, bool visible) {
    // While a close waits for the instrument to stop, the window says so.
    const bool stopping = w_.closing_ && w_.closeAfterRun_;
    w_.StatusLine->setText(stopping ? kStoppingRunText : text);
    w_.StatusLine->setVisible(stopping || visible);
}

void frmZyvora::FrontEnd::setMessageLine(const QString& text, bool visible) {
    w_.lblErrorMessage->setText(text);
    w_.lblErrorMessage->setVisible(visible);
}

void frmZyvora::FrontEnd::setCaption(const QString& title) {
    w_.setWindowTitle(title);
}

void frmZyvora::FrontEnd::runStarted() {
    w_.cmdStartCancel->setText(QStringLiteral("&Cancel"));
}

void frmZyvora::FrontEnd::runStopped() {
    w_.cmdStartCancel->setText(QStringLiteral("&Start"));
}

// The results grid starts empty; there is nothing to export yet.
void frmZyvora::FrontEnd::setsPlanned(int) {
    w_.InitResultsGrid();
    w_.cmdInsertDataIntoMicrosoftExcel->setEnabled(false);
    w_.setDatasetBrowserVisible(false);
}

void frmZyvora::FrontEnd::measuringBegun() {
    setOptionsEnabled(false);
}

// The grid shows the dataset being measured only: its selected wells start pending.
void frmZyvora::FrontEnd::datasetBegun(int set, int sets) {
    w_.shadeSelectedWells();
    showPendingWells(*w_.grdResults, w_.session_.runOptions().SelectedWells);
    setLiveSetLabel(sets > 1 ? QStringLiteral("Set %1 of %2").arg(set).arg(sets) : QString());
}

void frmZyvora::FrontEnd::phaseChanged(RunPhase phase) {
    if (phase == RunPhase::Receiving) setBusyCursor(true);
}

void frmZyvora::FrontEnd::blockEnded() {
    setBusyCursor(false);
}

void frmZyvora::FrontEnd::readingReceived(int set, int row, int column, const WellReading&) {
    showRunCell(set, row, column);
}

void frmZyvora::FrontEnd::datasetCompleted(int set) {
    for (int row = 1; row <= kPlateRows; ++row)
        for (int column = 1; column <= kPlateColumns; ++column) showRunCell(set, row, column);
    w_.cmdInsertDataIntoMicrosoftExcel->setEnabled(true);
}

void frmZyvora::FrontEnd::showRunCell(int set, int row, int column) {
    const DocumentSession& s = w_.session_;
    const WellReading& reading = s.document().reading(set, row, column);
    const bool selected = s.runOptions().SelectedWells[row - 1][column - 1];
    // The times view shows when each reading of the set being measured came.
    const bool times = w_.gridMode() == GridMode::Times && w_.run_->runState().measuring() &&
                       reading.raw.has_value();
    setWellText(*w_.grdResults, row, column,
                times ? runningCellText(s.document(), set, row, column, GridMode::Times, selected)
                      : runCellText(reading.raw, selected));
}

// The run's sets are in the document: a run of several sets can be browsed at once.
void frmZyvora::FrontEnd::measuringEnded(int sets) {
    setLiveSetLabel(QString());
    if (sets > 1) {
        w_.lblDataset->setText(QString::number(w_.session_.shownSet()));
        w_.lblDatasets->setText(QString::number(w_.session_.setCount()) +
                                QStringLiteral(" available"));
        w_.setDatasetBrowserVisible(true);
    }
    setOptionsEnabled(true);
    w_.cmdStartCancel->setFocus();
}

void frmZyvora::FrontEnd::setLiveSetLabel(const QString& text) {
    w_.lblDataset->setText(text);
    w_.lblDataset->setVisible(!text.isEmpty());
}

void frmZyvora::FrontEnd::setOptionsEnabled(bool enabled) {
    w_.optionsWanted_ = enabled;
    w_.cmdOptions->setEnabled(enabled && w_.optionsHandler_);
}

void frmZyvora::FrontEnd::setBusyCursor(bool busy) {
    if (busy == w_.busyCursor_) return;
    w_.busyCursor_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmZyvora::FrontEnd::documentReloaded() {
    w_.repaintGUI();
}

void frmZyvora::FrontEnd::runFinished() {
    w_.runFinished();
}

// --- After a run ---

void frmZyvora::runFinished() {
    frontEnd_->setBusyCursor(false);
    // A run that never got as far as emptying its sets leaves the document as it was.
    if (!run_->runState().setsCleared) repaintGUI();
    emit runningChanged(false);
    if (!closeAfterRun_) return;
    // The run has saved what it measured; go on closing on the next turn of the event loop,
    // once the run's own stack has unwound (nothing happens if the window is gone by then).
    auto proceed = std::move(closeAfterRun_);
    closeAfterRun_ = nullptr;
    QTimer::singleShot(0, this, [this, proceed] {
        if (queryClose(proceed)) proceed();
    });
}

void frmZyvora::saveFailed(const QString& reason) {
    // While closing, the unsaved-data question that follows the run offers the same choice.
    if (closing_) {
        dialogs_.warn(this, reason);
        return;
    }
    offerSaveElsewhere(reason, whileOpen([this](bool saved) {
                           if (saved) reloadAfterRecoveredSave();
                       }));
}

void frmZyvora::saveWithRecovery(std::function<void(bool)> done) {
    const QDateTime when =
        run_->savedAt().isValid() ? run_->savedAt() : QDateTime::currentDateTime();
    const WriteResult written = run_->saveFile(when);
    if (written.ok) {
        run_->journalSaved();
        if (!fallbackFrom_.isEmpty())
            emit savedElsewhere(std::exchange(fallbackFrom_, {}),
                                std::exchange(fallbackReason_, {}), session_.path());
        done(true);
        return;
    }
    offerSaveElsewhere(QString::fromLatin1(kSaveFailedText)
                           .arg(QDir::toNativeSeparators(session_.path()), written.error),
                       std::move(done));
}

// Says why the save failed and offers another file until the user saves or declines.
void frmZyvora::offerSaveElsewhere(const QString& reason, std::function<void(bool)> done) {
    if (fallbackFrom_.isEmpty()) {  // the first failure names where the data belonged
        fallbackFrom_ = session_.path();
        fallbackReason_ = reason;
    }
    dialogs_.askYesNo(this, reason + QStringLiteral("\n\nSave the data to another file?"),
                      whileOpen([this, done](bool yes) {
                          if (yes) {
                              saveToChosenFile(done);
                              return;
                          }
                          fallbackFrom_.clear();
                          done(false);
                      }));
}

// Asks for the other file and saves there (which may fail again and ask again).
void frmZyvora::saveToChosenFile(std::function<void(bool)> done) {
    const QFileInfo current(session_.path());
    dialogs_.askDataFileName(this, current.fileName(), current.absolutePath(),
                             whileOpen([this, done](const QString& path) {
                                 if (path.isEmpty()) {
                                     fallbackFrom_.clear();
                                     done(false);
                                     return;
                                 }
                                 const QFileInfo file(withOvdExtension(path));
                                 session_.setPath(file.filePath());
                                 folders_.data = file.absolutePath();
                                 setWindowTitle(file.fileName());
                                 saveWithRecovery(done);
                             }));
}

void frmZyvora::reloadAfterRecoveredSave() {
    // A cancelled run is kept as measured, not reloaded.
    if (run_->running() || run_->outcome() == RunOutcome::Cancelled) return;
    const LoadResult loaded = LoadDataFile(session_, folders_.data, session_.path());
    if (loaded.ok) session_.setShownSet(1);
    if (loaded.parsed) writeParseDump(folders_.app, folders_.data, session_.path(), loaded.entries);
    if (!loaded.ok) dialogs_.inform(this, loaded.message);
    repaintGUI();
}

// --- Closing ---
// Answers may come at once (inside the close request that asked) or later; either way the
// close is requested again from the event loop, never from inside the close being handled.

bool frmZyvora::queryClose(std::function<void()> proceed) {
    if (closeAgreed_) return true;
    if (askingClose_ || closeAfterRun_) return false;
    if (run_->running()) {
        askToClose(std::move(proceed));
        return false;
    }
    if (session_.hasData() && !session_.saved()) {
        askToSaveBeforeClosing(std::move(proceed));
        return false;
    }
    return true;
}

// During a run: Yes cancels it; the window closes once the run has saved what it measured.
// With readings of an unfinished dataset the question offers to keep them or to leave them out.
void frmZyvora::askToClose(std::function<void()> proceed) {
    askingClose_ = true;
    keepPartialOnClose_.reset();
    const int n = run_->unfinishedReadings();
    if (n == 0) {
        dialogs_.askYesNo(this, kCancelRunOnCloseText, whileOpen([this, proceed](bool yes) {
                              askingClose_ = false;
                              if (yes) cancelAndClose(proceed);
                          }));
        return;
    }
    const QString question =
        kCancelRunOnCloseText + QStringLiteral(
                                    "\n\n%1 readings of the unfinished dataset have been taken; "
                                    "you can keep them as a partial dataset.")
                                    .arg(n);
    dialogs_.askChoice(this, question, kCloseMidRunButtons, whileOpen([this, proceed](int choice) {
                           askingClose_ = false;
                           if (choice > 1) return;  // the run goes on
                           keepPartialOnClose_ = choice == 0;
                           cancelAndClose(proceed);
                       }));
}

void frmZyvora::cancelAndClose(std::function<void()> proceed) {
    closing_ = true;
    closeAfterRun_ = std::move(proceed);
    run_->cancel();
    frontEnd_->setStatusLine(QString(), false);
    if (!run_->running() && closeAfterRun_) runFinished();
}

// Unsaved data: Yes saves (offering another file when that fails), No discards, Cancel stays.
void frmZyvora::askToSaveBeforeClosing(std::function<void()> proceed) {
    askingClose_ = true;
    const auto agreed = [this, proceed] {
        closeAgreed_ = true;
        QTimer::singleShot(0, this, proceed);
    };
    dialogs_.askYesNoCancel(this, kUnsavedDataText, whileOpen([this, agreed](YesNoCancel a) {
                                askingClose_ = false;
                                closing_ = false;
                                if (a == YesNoCancel::No) agreed();
                                if (a != YesNoCancel::Yes) return;
                                saveWithRecovery(whileOpen([agreed](bool saved) {
                                    if (saved) agreed();
                                }));
                            }));
}

void frmZyvora::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void frmZyvora::closeEvent(QCloseEvent* event) {
    if (queryClose([this] { closeWindow(); }))
        event->accept();
    else
        event->ignore();
}

void frmZyvora::showEvent(QShowEvent* event) {
    // A window shown again starts a fresh close question.
    closeAgreed_ = false;
    closing_ = false;
    keepPartialOnClose_.reset();
    QWidget::showEvent(event);
}

}  // namespace vantorix
