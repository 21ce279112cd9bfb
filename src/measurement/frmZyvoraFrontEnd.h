// What the run sees of the measurement window: its questions go to the window's Dialogs, and
// what happens in the run is shown with the window's controls, cursor and buttons.
#pragma once

#include "measurement/RunFrontEnd.h"
#include "measurement/frmZyvora.h"

namespace vantorix {

class frmZyvora::FrontEnd : public RunFrontEnd {
  public:
    explicit FrontEnd(frmZyvora& w) : w_(w) {}

    void askDataFileName(const QString& proposedTitle, const QString& folder,
                         std::function<void(QString)> answer) override;
    void askRetryCancel(const QString& title, const QString& text,
                        std::function<void(bool)> answer) override;
    void askOkCancel(const QString& text, std::function<void(bool)> answer) override;
    void askKeepPartial(const QString& text, int readings,
                        std::function<void(bool)> answer) override;
    void notify(const QString& text) override;
    void reportError(const QString& text) override;
    void saveFailed(const QString& reason) override;

    void setStatusLine(const QString& text, bool visible) override;
    void setMessageLine(const QString& text, bool visible) override;
    void setCaption(const QString& title) override;

    void runStarted() override;
    void runStopped() override;
    void setsPlanned(int sets) override;
    void measuringBegun() override;
    void datasetBegun(int set, int sets) override;
    void phaseChanged(RunPhase phase) override;
    void blockEnded() override;
    void readingReceived(int set, int row, int column, const WellReading& reading) override;
    void datasetCompleted(int set) override;
    void measuringEnded(int sets) override;
    void documentReloaded() override;
    void runFinished() override;

    void setBusyCursor(bool busy);

  private:
    // The cell of a well of the set being measured, as its reading stands.
    void showRunCell(int set, int row, int column);
    void setOptionsEnabled(bool enabled);
    void setLiveSetLabel(const QString& text);

    frmZyvora& w_;
};

}  // namespace vantorix
