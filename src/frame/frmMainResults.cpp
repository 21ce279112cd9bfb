// The frame's entries for the results: the report and picture exports and the choice of view.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "frame/frmMain.h"
#include "measurement/frmZyvora.h"
#include "results/GuiResultsPanel.h"

namespace vantorix {

void frmMain::addResultsEntries(QMenu* file) {
    const auto entry = [this](QMenu* menu, const char* name, const QString& caption, auto action) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        // Only a shown document can be exported or viewed otherwise.
        connect(a, &QAction::triggered, this, [this, action] {
            if (zyvora_) action(zyvora_->resultsPanel());
        });
        return a;
    };
    entry(file, "mnuFileExportReport", QStringLiteral("Export &Report..."),
          [](GuiResultsPanel& p) { p.chooseAndExportReport(); });
    entry(file, "mnuFileExportPicture", QStringLiteral("Export &Picture..."),
          [](GuiResultsPanel& p) { p.chooseAndExportPicture(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    entry(view, "mnuViewGrid", QStringLiteral("&Values and Times"), [](GuiResultsPanel& p) {
        p.setView(GuiResultsPanel::View::Grid);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    entry(view, "mnuViewHeatMap", QStringLiteral("&Heat Map"), [](GuiResultsPanel& p) {
        p.setView(GuiResultsPanel::View::HeatMap);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
    entry(view, "mnuViewKinetics", QStringLiteral("&Kinetics"), [](GuiResultsPanel& p) {
        p.setView(GuiResultsPanel::View::Kinetics);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    entry(view, "mnuViewAnalysis", QStringLiteral("&Analysis"), [](GuiResultsPanel& p) {
        p.setView(GuiResultsPanel::View::Analysis);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_4));
}

}  // namespace vantorix
