// What the run asks of the window (or of the command line): questions to the user, answered
// later through a callback so the run never nests an event loop, the lines of text the user
// reads, and what happens in the run, which the window shows with its own controls.
#pragma once

#include <QString>
#include <functional>

#include "kernel/RunTiming.h"
#include "plate/WellReading.h"

namespace vantorix {

class RunFrontEnd {
  public:
    virtual ~RunFrontEnd() = default;

    // --- Questions. Each answer may come at once or later; the run waits for it. ---
    // Names the data file (the "Save As" step). The answer is the chosen full path, or "" when
    // the user cancelled.
    virtual void askDataFileName(const QString& proposedTitle, const QString& folder,
                                 std::function<void(QString path)> answer) = 0;
    // "Communication Error" Retry/Cancel box; answer(true) = Retry.
    virtual void askRetryCancel(const QString& title, const QString& text,
                                std::function<void(bool retry)> answer) = 0;
    // The priming question, OK/Cancel; answer(true) = OK.
    virtual void askOkCancel(const QString& text, std::function<void(bool ok)> answer) = 0;
    // The run stopped in the middle of a dataset: keep its readings as a partial dataset?
    // answer(true) = keep (wells not read are saved as "-1").
    virtual void askKeepPartial(const QString& text, int readings,
                                std::function<void(bool keep)> answer) {
        (void)readings;
        notify(text);
        answer(false);
    }

    // --- Notices: shown without waiting (the run goes on). ---
    // "You have cancelled this run."
    virtual void notify(const QString& text) = 0;
    // A failure the user must know about (lost port, failed save or reload).
    virtual void reportError(const QString& text) = 0;
    // Saving the run's file failed; the data stay in memory and the front end may offer to
    // save them elsewhere (RunSequence::saveFile again after changing the session's path).
    virtual void saveFailed(const QString& reason) { reportError(reason); }

    // --- Lines of text. ---
    virtual void setStatusLine(const QString& text, bool visible) = 0;
    virtual void setMessageLine(const QString& text, bool visible) = 0;
    // The document's file was named.
    virtual void setCaption(const QString& title) { (void)title; }

    // --- What happens in the run. ---
    // Start was taken: the run goes on until runStopped().
    virtual void runStarted() {}
    // The run stops (cancelled, or over): the next press starts a new one.
    virtual void runStopped() {}
    // The instrument answered: sets 1..sets are measured and were emptied for the readings.
    virtual void setsPlanned(int sets) { (void)sets; }
    // The instrument is ready and primed: the options stay as they are until the run ends.
    virtual void measuringBegun() {}
    // Dataset `set` of `sets` begins: its selected wells wait for their readings.
    virtual void datasetBegun(int set, int sets) { (void)set, (void)sets; }
    virtual void phaseChanged(RunPhase phase) { (void)phase; }
    // The dataset block is over, complete or not.
    virtual void blockEnded() {}
    // A reading of plate row 1-8, column 1-12, already in the document.
    virtual void readingReceived(int set, int row, int column, const WellReading& reading) {
        (void)set, (void)row, (void)column, (void)reading;
    }
    virtual void datasetCompleted(int set) { (void)set; }
    // The measuring is over and `sets` datasets are in the document.
    virtual void measuringEnded(int sets) { (void)sets; }
    // The saved file was read back into the document.
    virtual void documentReloaded() {}
    // The run is over; a front end may start the next run or let go of this one from here.
    virtual void runFinished() {}
};

}  // namespace vantorix
