// What the run sees of the measurement window: its questions go to the window's Dialogs,
// its updates to the window's controls.
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
    void setStartCancelCaption(const QString& caption) override;
    void initResultsGrid() override;
    void shadeSelectedWells() override;
    void setCell(int row, int column, const QString& text) override;
    void setDatasetBrowserVisible(bool visible) override;
    void setLiveSetLabel(const QString& text) override;
    void setExcelEnabled(bool enabled) override;
    void setOptionsEnabled(bool enabled) override;
    void setBusyCursor(bool busy) override;
    void focusStartButton() override;
    void repaint() override;
    void runFinished() override;

  private:
    frmZyvora& w_;
};

}  // namespace vantorix
