// Puts the options dialog, the communication settings and the About box behind the frame's
// Settings and Help entries and the measurement window's "&Options..." button. The two
// settings dialogs are created on first use and kept, as children of the frame, until it goes.
#pragma once

#include <QObject>

#include "serial/frmCommunicationSettings.h"
#include "ui/GuiDialogNotices.h"

namespace vantorix {

class DocumentSession;
class SettingsStore;
class frmMain;
class frmOptions;
class frmZyvora;

class GuiDialogEntries : public QObject {
    Q_OBJECT
  public:
    GuiDialogEntries(frmMain& frame, SettingsStore& settings,
                     DialogNotices& notices = defaultDialogNotices(),
                     frmCommunicationSettings::DeviceLister listDevices = availableSerialDevices);

    frmOptions& optionsDialog();
    frmCommunicationSettings& communicationDialog();

    // Settings > Options: edits the frame's run defaults only (and stores them).
    void mnuSettingsOptions_Click();
    // Settings > Communications: on OK closes the port, applies and stores the choice.
    void mnuSettingsCommunications_Click();
    // Help > About: a fresh box.
    void mnuHelpNewAbout_Click();
    // The measurement window's Options: edits the run's options, which then become the defaults.
    void cmdOptions_Click(frmZyvora& window);

  private:
    void hookMeasurementWindow(frmZyvora* window);
    // Confirmed run defaults go to the settings at once, not only at a normal exit.
    void storeRunDefaults();

    frmMain& frame_;
    DocumentSession& session_;
    SettingsStore& settings_;
    DialogNotices& notices_;
    frmCommunicationSettings::DeviceLister listDevices_;
    frmOptions* options_ = nullptr;
    frmCommunicationSettings* communication_ = nullptr;
};

}  // namespace vantorix
