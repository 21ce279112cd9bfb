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
#include "results/ExportCurrentDocument.h"
#include "results/GuiSaveWorkbook.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

void wireDesktop(frmMain& frame, ProgramState& state, SettingsStore& settings, Scheduler& scheduler,
                 const QString& programFolder) {
    connectExcelExport(frame, state);
    connectFirmwareDownload(frame, settings, scheduler, programFolder);
    installFileBrowser(frame, state, scheduler);
    new GuiDialogEntries(frame, state, settings);  // owned by the frame
    const QString database = history::historyPath(settings);
    auto* hooks = new GuiHistoryHooks(  // owned by the frame
        frame, state, scheduler, [database] { return std::make_unique<RunHistory>(database); },
        protocolsFolder());
    hooks->checkIntegrityInBackground(database);
}

LoadResult showStoredDocument(frmMain& frame, ProgramState& state, const QString& fileName) {
    frame.showMeasurementWindow();
    // Reading a file is no sign of life from the instrument: the link light stays as it was.
    DataFolders& folders = frame.folders();
    const LoadResult loaded = LoadDataFile(state.document, folders.data, fileName);
    if (loaded.ok) state.CurrentSet = 1;
    if (loaded.parsed) writeParseDump(folders.app, folders.data, fileName, loaded.entries);
    if (loaded.ok) state.DataFileName = resolveDataPath(folders.data, fileName);
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
            auto open = [&frame, &state](const QString& fileName) {
                const LoadResult loaded = showStoredDocument(frame, state, fileName);
                if (!loaded.message.isEmpty())
                    frame.dialogs().inform(&frame.measurementWindow(), loaded.message);
            };
            browser = new frmOpenFile(frame.folders(), frame.dialogs(), scheduler, open, &frame);
        }
        browser->show();
        browser->raise();
        browser->activateWindow();
    });
}

void connectFirmwareDownload(frmMain& frame, SettingsStore& settings, Scheduler& scheduler,
                             const QString& programFolder) {
    auto dialog = std::make_shared<frmDownloadNewFirmware*>(nullptr);
    frame.setEntryHandler(
        frmMain::Entry::DownloadFirmware, [&frame, &settings, &scheduler, programFolder, dialog] {
            if (!*dialog) {
                *dialog = new frmDownloadNewFirmware(
                    frame.comPort(), scheduler, frame.dialogs(), settings,
                    programImageSource(programFolder, frame.folders().app), &frame);
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
    QObject::connect(
        &frame, &frmMain::measurementWindowCreated, &frame, [&frame, &state](frmZyvora* window) {
            window->setExcelHandler([&frame, &state, window] {
                openWorkbookOnDesktop({state.document, state.DataFileName, state.SetCount},
                                      frame.folders(), frame.dialogs(), window);
            });
        });
}

bool openDocumentFile(frmMain& frame, ProgramState& state, const QString& path) {
    const QFileInfo info(path);
    frame.showMeasurementWindow();
    frmZyvora& window = frame.measurementWindow();
    if (!info.isFile()) {
        frame.dialogs().warn(&window, QStringLiteral("There is no data file %1.")
                                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
        return false;
    }
    frame.folders().data = QDir::toNativeSeparators(info.absolutePath());
    const LoadResult loaded = showStoredDocument(frame, state, info.fileName());
    if (!loaded.message.isEmpty()) frame.dialogs().warn(&window, loaded.message);
    return loaded.ok;
}

}  // namespace vantorix
