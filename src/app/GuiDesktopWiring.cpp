#include "app/GuiDesktopWiring.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "app/GuiDialogEntries.h"
#include "app/GuiHistoryHooks.h"
#include "files/OvdLoader.h"
#include "files/ParseDump.h"
#include "files/frmOpenFile.h"
#include "firmware/FirmwareDriver.h"
#include "firmware/frmDownloadNewFirmware.h"
#include "frame/frmMain.h"
#include "kernel/DataPaths.h"
#include "kernel/Scheduler.h"
#include "measurement/frmZyvora.h"
#include "plate/ProgramState.h"
#include "protocols/ProtocolStore.h"
#include "results/GuiSaveWorkbook.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

void wireDesktop(frmMain& frame, ProgramState& state, SettingsStore& settings, Scheduler& scheduler,
                 const QString& programFolder) {
    connectExcelExport(frame, state);
    connectFirmwareDownload(frame, state, settings, scheduler, programFolder);
    installFileBrowser(frame, state, scheduler);
    new GuiDialogEntries(frame, state, settings);  // owned by the frame
    const QString database = history::historyPath(settings);
    auto* hooks = new GuiHistoryHooks(  // owned by the frame
        frame, state, scheduler, [database] { return std::make_unique<RunHistory>(database); },
        protocolsFolder());
    hooks->checkIntegrityInBackground(database);
}

LoadResult showStoredDocument(frmMain& frame, ProgramState& state, Scheduler& scheduler,
                              const QString& fileName) {
    frame.showMeasurementWindow();
    // Reading a file is no sign of life from the instrument: the link light stays as it was.
    const qint64 linkActivity = state.LinkActivityTime;
    const LoadResult loaded = LoadDataFile(state, fileName, scheduler.nowSeconds());
    if (loaded.parsed) writeParseDump(state.AppFolder, state.DataFolder, fileName, loaded.entries);
    state.LinkActivityTime = linkActivity;
    if (loaded.ok) state.DataFileName = resolveDataPath(state.DataFolder, fileName);
    if (GuiHistoryHooks* hooks = GuiHistoryHooks::of(frame); hooks && loaded.ok)
        hooks->fileOpened(state.DataFileName);
    frmZyvora& window = frame.measurementWindow();
    window.setCanEditState(false);
    window.repaintGUI();  // the caption names the file
    return loaded;
}

void installFileBrowser(frmMain& frame, ProgramState& state, Scheduler& scheduler) {
    frame.setEntryHandler(frmMain::Entry::FileOpen, [&frame, &state, &scheduler] {
        auto* browser = frame.findChild<frmOpenFile*>();
        if (!browser) {
            auto open = [&frame, &state, &scheduler](const QString& fileName) {
                const LoadResult loaded = showStoredDocument(frame, state, scheduler, fileName);
                if (!loaded.message.isEmpty())
                    frame.dialogs().inform(&frame.measurementWindow(), loaded.message);
            };
            browser = new frmOpenFile(state, frame.dialogs(), scheduler, open, &frame);
        }
        browser->show();
        browser->raise();
        browser->activateWindow();
    });
}

void connectFirmwareDownload(frmMain& frame, ProgramState& state, SettingsStore& settings,
                             Scheduler& scheduler, const QString& programFolder) {
    auto dialog = std::make_shared<frmDownloadNewFirmware*>(nullptr);
    frame.setEntryHandler(frmMain::Entry::DownloadFirmware,
                          [&frame, &state, &settings, &scheduler, programFolder, dialog] {
                              if (!*dialog) {
                                  *dialog = new frmDownloadNewFirmware(
                                      frame.comPort(), scheduler, frame.dialogs(), settings,
                                      programImageSource(programFolder, state.AppFolder), &frame);
                                  recordFirmwareSent(frame, **dialog);
                              }
                              (*dialog)->showDialog();
                          });
}

void recordFirmwareSent(frmMain& frame, frmDownloadNewFirmware& dialog) {
    QObject::connect(
        &dialog, &frmDownloadNewFirmware::firmwareSent, &frame,
        [&frame](const QString& image, const QString& outcome) {
            if (GuiHistoryHooks* hooks = GuiHistoryHooks::of(frame))
                hooks->record(history::events::firmwareSent(history::fileSha256(image), outcome));
        });
}

void connectExcelExport(frmMain& frame, ProgramState& state) {
    QObject::connect(&frame, &frmMain::measurementWindowCreated, &frame,
                     [&frame, &state](frmZyvora* window) {
                         window->setExcelHandler([&frame, &state, window] {
                             openWorkbookOnDesktop(state, frame.dialogs(), window);
                         });
                     });
}

bool openDocumentFile(frmMain& frame, ProgramState& state, Scheduler& scheduler,
                      const QString& path) {
    const QFileInfo info(path);
    frame.showMeasurementWindow();
    frmZyvora& window = frame.measurementWindow();
    if (!info.isFile()) {
        frame.dialogs().warn(&window, QStringLiteral("There is no data file %1.")
                                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
        return false;
    }
    state.DataFolder = QDir::toNativeSeparators(info.absolutePath());
    const LoadResult loaded = showStoredDocument(frame, state, scheduler, info.fileName());
    if (!loaded.message.isEmpty()) frame.dialogs().warn(&window, loaded.message);
    return loaded.ok;
}

}  // namespace vantorix
