#include "app/GuiDialogEntries.h"

#include "frame/frmMain.h"
#include "frame/frmNewAbout.h"
#include "kernel/SettingsLifecycle.h"
#include "measurement/frmZyvora.h"
#include "options/frmOptions.h"
#include "plate/DocumentSession.h"

namespace vantorix {

GuiDialogEntries::GuiDialogEntries(frmMain& frame, SettingsStore& settings, DialogNotices& notices,
                                   frmCommunicationSettings::DeviceLister listDevices)
    : QObject(&frame),
      frame_(frame),
      session_(frame.session()),
      settings_(settings),
      notices_(notices),
      listDevices_(std::move(listDevices)) {
    setObjectName(QStringLiteral("dialogEntries"));
    frame.setEntryHandler(frmMain::Entry::Options, [this] { mnuSettingsOptions_Click(); });
    frame.setEntryHandler(frmMain::Entry::Communications,
                          [this] { mnuSettingsCommunications_Click(); });
    frame.setEntryHandler(frmMain::Entry::About, [this] { mnuHelpNewAbout_Click(); });
    connect(&frame, &frmMain::measurementWindowCreated, this,
            &GuiDialogEntries::hookMeasurementWindow);
    if (frame.hasMeasurementWindow()) hookMeasurementWindow(&frame.measurementWindow());
}

void GuiDialogEntries::hookMeasurementWindow(frmZyvora* window) {
    window->setOptionsHandler([this, window] { cmdOptions_Click(*window); });
}

frmOptions& GuiDialogEntries::optionsDialog() {
    if (!options_) options_ = new frmOptions(notices_, &frame_);
    return *options_;
}

frmCommunicationSettings& GuiDialogEntries::communicationDialog() {
    if (!communication_) {
        communication_ = new frmCommunicationSettings(frame_.comPort(), frame_.burstMode(),
                                                      notices_, listDevices_, &frame_);
    }
    return *communication_;
}

void GuiDialogEntries::mnuSettingsOptions_Click() {
    editOptions(optionsDialog(), frame_.runDefaults(), [this](bool confirmed) {
        if (confirmed) storeRunDefaults();
    });
}

void GuiDialogEntries::cmdOptions_Click(frmZyvora& window) {
    editOptions(optionsDialog(), session_.runOptions(), [this, &window](bool confirmed) {
        if (!confirmed) return;
        // What the user confirmed for this run is also what the next session starts with.
        frame_.runDefaults() = session_.runOptions();
        window.showConfirmedOptions();
        storeRunDefaults();
    });
}

void GuiDialogEntries::storeRunDefaults() {
    saveRunDefaults(settings_, frame_.runDefaults());
    if (const QString problem = settings_.takeWriteFailure(); !problem.isEmpty())
        notices_.message(&frame_, problem, DialogNotices::Icon::Warning, {});
}

void GuiDialogEntries::mnuHelpNewAbout_Click() {
    frmNewAbout::showNew(frame_.windowIcon(), &frame_);
}

void GuiDialogEntries::mnuSettingsCommunications_Click() {
    frmCommunicationSettings& dialog = communicationDialog();
    dialog.ShowForm([this, &dialog](bool confirmed) {
        if (!confirmed) return;
        applyCommunicationDialog(dialog, frame_.comPort(), frame_.burstMode(), settings_);
    });
}

}  // namespace vantorix
