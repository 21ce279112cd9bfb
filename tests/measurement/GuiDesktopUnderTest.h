// The desktop program in a test: the frame and its measurement window on the simulated
// instrument in virtual time, with a settings store in memory, scripted dialogs and a
// temporary data folder.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

#include "frame/frmMain.h"
#include "kernel/DataPaths.h"
#include "kernel/SettingsStore.h"
#include "measurement/GuiScriptedDialogs.h"
#include "measurement/RunSequence.h"
#include "measurement/frmZyvora.h"
#include "plate/DocumentSession.h"
#include "simulator/PairHarness.h"

namespace vantorix::test {

struct DesktopUnderTest {
    explicit DesktopUnderTest(sim::SimulatorConfig config = {}) : pair(config) {
        folders = DataFolders{dir.path(), dir.path()};
        dialogs.fileFolder = dir.path();
        frame = std::make_unique<frmMain>(session, folders, settings, pair.port(), pair.scheduler(),
                                          dialogs);
        frame->show();
    }

    template <typename T>
    T* control(const char* name) const {
        return frame->findChild<T*>(QLatin1String(name));
    }
    // File > New from the menu; the measurement window it shows.
    frmZyvora& newMeasurement() {
        control<QAction>("mnuFileNew")->trigger();
        return *frame->findChild<frmZyvora*>();
    }
    bool runUntil(const std::function<bool()>& done, qint64 limit_ms = 600'000) {
        return pair.runUntil(done, limit_ms);
    }
    // Lets queued calls (a close requested again after an answer) run.
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    // Reads only rows A..lastRow (1-8) of the plate, to keep runs short.
    void selectRows(int rows) {
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 12; ++c) session.runOptions().SelectedWells[r][c] = r < rows;
    }
    QStringList linesSent() const {
        QStringList out;
        for (const auto& line : pair.linesFromProgram()) out << QString::fromLatin1(line.text);
        return out;
    }

    QTemporaryDir dir;
    sim::PairHarness pair;
    DocumentSession session;
    DataFolders folders;
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmMain> frame;
};

}  // namespace vantorix::test
