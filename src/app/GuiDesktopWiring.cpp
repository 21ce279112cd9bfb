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
#include "plate/DocumentSession.h"
#include "protocols/ProtocolStore.h"
#include "results/ExportCurrentDocument.h"
#include "results/GuiSaveWorkbook.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

void wireDesktop(frmMain& frame, SettingsStore& settings, Scheduler& scheduler,
                 const QString& programFolder) {
    connectExcelExport(frame);
    connectFirmwareDownload(frame, settings, scheduler, programFolder);
    installFileBrowser(frame, scheduler);
    new GuiDialogEntries(frame, settings);  // owned by the frame
    const QString database = history::historyPath(settings);
    auto* hooks = new GuiHistoryHooks(  // owned by the frame
        frame, scheduler, [database] { return std::make_unique<RunHistory>(database); },
        protocolsFolder());
    hooks->checkIntegrityInBackground(database);
}

LoadResult showStoredDocument(frmMain& frame, const QString& fileName) {
    frame.showMeasurementWindow();
    DocumentSession& session = frame.session();
    // Reading a file is no sign of life from the instrument: the link light stays as it was.
    DataFolders& folders = frame.folders();
    const LoadResult loaded = LoadDataFile(session, folders.data, fileName);
    if (loaded.ok) session.setShownSet(1);
    if (loaded.parsed) writeParseDump(folders.app, folders.data, fileName, loaded.entries);
    if (loaded.ok) session.setPath(resolveDataPath(folders.data, fileName));
    if (GuiHistoryHooks* hooks = GuiHistoryHooks::of(frame); hooks && loaded.ok)
        hooks->fileOpened(session.path());
    frmZyvora& window = frame.measurementWindow();
    window.setCanEditState(false);
    window.repaintGUI();  // the caption names the file
    return loaded;
}

void installFileBrowser(frmMain& frame, Scheduler& scheduler) {
    frame.setEntryHandler(frmMain::Entry::FileOpen, [&frame, &scheduler] {
        auto* browser = frame.findChild<frmOpenFile*>();
        if (!browser) {
            auto open = [&frame](const QString& fileName) {
                const LoadResult loaded = showStoredDocument(frame, fileName);
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

void connectExcelExport(frmMain& frame) {
    QObject::connect(
        &frame, &frmMain::measurementWindowCreated, &frame, [&frame](frmZyvora* window) {
            window->setExcelHandler([&frame, window] {
                openWorkbookOnDesktop(frame.session(), frame.folders(), frame.dialogs(), window);
            });
        });
}

bool openDocumentFile(frmMain& frame, const QString& path) {
    const QFileInfo info(path);
    frame.showMeasurementWindow();
    frmZyvora& window = frame.measurementWindow();
    if (!info.isFile()) {
        frame.dialogs().warn(&window, QStringLiteral("There is no data file %1.")
                                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
        return false;
    }
    frame.folders().data = QDir::toNativeSeparators(info.absolutePath());
    const LoadResult loaded = showStoredDocument(frame, info.fileName());
    if (!loaded.message.isEmpty()) frame.dialogs().warn(&window, loaded.message);
    return loaded.ok;
}

}  // namespace vantorix
