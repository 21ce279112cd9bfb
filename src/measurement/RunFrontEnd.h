// What the run asks of the window (or of the command line): questions to the user, answered
// later through a callback so the run never nests an event loop, and the updates of the
// window's controls while a run goes on.
#pragma once

#include <QString>
#include <functional>

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
    // save them elsewhere (SaveDocument again after changing DataFileName).
    virtual void saveFailed(const QString& reason) { reportError(reason); }

    // --- Window updates. ---
    virtual void setStatusLine(const QString& text, bool visible) = 0;
    virtual void setMessageLine(const QString& text, bool visible) = 0;
    virtual void setCaption(const QString& title) { (void)title; }
    virtual void setStartCancelCaption(const QString& caption) = 0;  // "&Start" / "&Cancel"
    virtual void initResultsGrid() {}
    virtual void shadeSelectedWells() {}
    // Grid cell of plate row 1-8, column 1-12.
    virtual void setCell(int row, int column, const QString& text) = 0;
    virtual void setDatasetBrowserVisible(bool visible) { (void)visible; }
    // Which dataset is being measured, "Set 2 of 3"; "" when no run is going on.
    virtual void setLiveSetLabel(const QString& text) { (void)text; }
    virtual void setExcelEnabled(bool enabled) { (void)enabled; }
    virtual void setOptionsEnabled(bool enabled) { (void)enabled; }
    virtual void setBusyCursor(bool busy) { (void)busy; }
    virtual void focusStartButton() {}
    // The saved file was read back: redraw the window from the document.
    virtual void repaint() {}
    // The run is over (the button reads "&Start" again).
    virtual void runFinished() {}
};

}  // namespace vantorix
