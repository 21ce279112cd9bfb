// Beside and around the results grid: the heat map, kinetics and analysis views that can take the
// grid's place, the wells' status colours in the grid, the statistics of the shown set, the run's
// progress, and the report and picture exports. The grid itself stays the measurement window's;
// this panel only holds it.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "results/RunProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace vantorix {

class DocumentSession;
struct DataFolders;
class GuiHeatMapView;
class GuiKineticView;
class GuiAnalysisView;

// The run as the panel shows it: while one measures, the sets it plans and the one being
// measured, and whether its sets were emptied yet.
struct PanelRun {
    bool measuring = false;
    int firstSet = 1, lastSet = 1, set = 1;
    bool setsCleared = false;
};

class GuiResultsPanel : public QWidget {
    Q_OBJECT
  public:
    enum class View { Grid, HeatMap, Kinetics, Analysis };

    // The open document is the session's: its readings and file, the run's options (whose wells
    // count while the document can still be measured), the sets offered and the one shown.
    GuiResultsPanel(const DocumentSession& session, const DataFolders& folders,
                    std::function<PanelRun()> run, QTableWidget* grid, QWidget* parent);

    QPushButton* heatMapButton() const { return cmdViewHeatMap_; }
    QPushButton* kineticsButton() const { return cmdViewKinetics_; }
    // The run's progress line; the window places it where it stays in sight.
    QWidget* progressLine() const { return progress_; }
    void setView(View view);
    View view() const { return view_; }

    // Redraws the heat map, the chart and the figures of the shown set (or, during a run, of
    // the set being measured).
    void refresh();
    // During a run: the progress line; with phase Idle it is hidden.
    void showProgress(const RunProgressInput& in);

    // Wells followed in the kinetics view, in the order chosen; a second click drops one.
    void toggleChosenWell(int well);
    const std::vector<int>& chosenWells() const { return chosen_; }

    // The report of the document and the picture of the shown set's heat map (PNG or SVG).
    // Empty text on success, else why not.
    QString exportReport(const QString& path) const;
    QString exportPicture(const QString& path) const;
    // Ask for a file, then export; failures are shown to the user.
    void chooseAndExportReport();
    void chooseAndExportPicture();

    // The document's name as the owning window's caption gives it.
    QString documentCaption() const;
    GuiAnalysisView* analysisView() const { return analysis_; }

  signals:
    // A report ("pdf") or a picture ("png", "svg") the user chose was written to path.
    void exportWritten(const QString& kind, const QString& path);

  private:
    int shownSet() const;
    int documentSets() const;

    const DocumentSession& session_;
    const DataFolders& folders_;
    std::function<PanelRun()> run_;
    QWidget* owner_;  // the window whose caption names the document
    View view_ = View::Grid;
    std::vector<int> chosen_;
    QTableWidget* grid_;
    QWidget* legend_ = nullptr;  // the well statuses' colours, shown with the grid
    QStackedWidget* stack_ = nullptr;
    GuiHeatMapView* heatMap_ = nullptr;
    GuiKineticView* kinetics_ = nullptr;
    GuiAnalysisView* analysis_ = nullptr;
    QPushButton* cmdViewHeatMap_ = nullptr;
    QPushButton* cmdViewKinetics_ = nullptr;
    QLabel* stats_[7] = {};
    QWidget* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QProgressBar* prgRun_ = nullptr;
};

}  // namespace vantorix
