#include "files/GuiOpenDocument.h"

#include <QDir>
#include <QFileInfo>

#include "files/OvdLoader.h"
#include "frame/GuiDialogs.h"
#include "frame/ProgramState.h"
#include "frame/Scheduler.h"
#include "frame/frmMain.h"
#include "measurement/frmZyvora.h"

namespace vantorix {

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
    const LoadResult loaded = LoadDataFile(state, info.fileName(), scheduler.nowSeconds());
    if (!loaded.message.isEmpty()) frame.dialogs().warn(&window, loaded.message);
    window.setCanEditState(false);
    window.repaintGUI();
    return loaded.ok;
}

}  // namespace vantorix
