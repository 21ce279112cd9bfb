#include "results/GuiResultsPanel.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/GuiAnalysisView.h"
#include "files/PlateFile.h"
#include "kernel/DataPaths.h"
#include "kernel/Text.h"
#include "plate/DocumentSession.h"
#include "results/GuiHeatMapView.h"
#include "results/GuiKineticView.h"
#include "results/GuiResultsGrid.h"
#include "results/PaintHeatMap.h"
#include "results/PaintPalette.h"
#include "results/PaintReport.h"
#include "results/SetStatistics.h"

namespace vantorix {

namespace {

// The shown sets of the open document, as the analysis reads them.
PlateDocument shownDocument(const DocumentSession& open, int sets) {
    PlateDocument d = open.document();
    d.options = open.runOptions();
    if (sets >= 0 && sets < d.setCount()) d.datasets.resize(size_t(sets));
    return d;
}

const char* const kStatNames[7] = {"lblStatN",    "lblStatSaturated", "lblStatMin", "lblStatMax",
                                   "lblStatMean", "lblStatSd",        "lblStatCv"};
const char* const kStatCaptions[7] = {
    "n:", "Saturated:", "Minimum:", "Maximum:", "Mean:", "SD (n-1):", "CV %:"};

QPushButton* viewButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setCheckable(true);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

GuiResultsPanel::GuiResultsPanel(const DocumentSession& session, const DataFolders& folders,
                                 std::function<PanelRun()> run, QTableWidget* grid, QWidget* parent)
    : QWidget(parent),
      session_(session),
      folders_(folders),
      run_(std::move(run)),
      owner_(parent),
      grid_(grid) {
    setObjectName(QStringLiteral("pnlResults"));
    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("stkResultsView"));
    heatMap_ = new GuiHeatMapView(stack_);
    kinetics_ = new GuiKineticView(stack_);
    stack_->addWidget(grid);
    stack_->addWidget(heatMap_);
    stack_->addWidget(kinetics_);
    analysis_ = new GuiAnalysisView(stack_);
    stack_->addWidget(analysis_);

    cmdViewHeatMap_ = viewButton(parent, "cmdViewHeatMap", QStringLiteral("&Heat Map"));
    cmdViewKinetics_ = viewButton(parent, "cmdViewKinetics", QStringLiteral("&Kinetics"));
    cmdViewHeatMap_->setToolTip(QStringLiteral("Show the wells coloured by value (log scale)"));
    cmdViewKinetics_->setToolTip(QStringLiteral("Follow chosen wells over the sets"));
    connect(cmdViewHeatMap_, &QPushButton::clicked, this,
            [this](bool on) { setView(on ? View::HeatMap : View::Grid); });
    connect(cmdViewKinetics_, &QPushButton::clicked, this,
            [this](bool on) { setView(on ? View::Kinetics : View::Grid); });
    connect(heatMap_, &GuiHeatMapView::wellClicked, this, &GuiResultsPanel::toggleChosenWell);
    connect(grid, &QTableWidget::cellClicked, this,
            [this](int row, int column) { toggleChosenWell(row * kPlateColumns + column); });

    auto* statsBox = new QGroupBox(QStringLiteral("Statistics"), this);
    statsBox->setObjectName(QStringLiteral("fraStatistics"));
    statsBox->setMinimumWidth(
        statsBox->fontMetrics().horizontalAdvance(QStringLiteral("SD (n-1):  0000000.0")) + 24);
    auto* form = new QFormLayout(statsBox);
    for (int i = 0; i < 7; ++i) {
        stats_[i] = new QLabel(QStringLiteral("-"), statsBox);
        stats_[i]->setObjectName(QLatin1String(kStatNames[i]));
        stats_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QLatin1String(kStatCaptions[i]), stats_[i]);
    }
    auto* note = new QLabel(
        QStringLiteral("Values in %1; saturated wells left out.").arg(QLatin1String(kValueUnit)),
        statsBox);
    note->setWordWrap(true);
    note->setMaximumWidth(150);
    note->setStyleSheet(QStringLiteral("color: #555"));
    form->addRow(note);

    progress_ = new QWidget(this);
    progress_->setObjectName(QStringLiteral("fraRunProgress"));
    progressText_ = new QLabel(progress_);
    progressText_->setObjectName(QStringLiteral("lblRunProgress"));
    // A narrow window cuts the line short rather than growing wider than the screen.
    progressText_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    prgRun_ = new QProgressBar(progress_);
    prgRun_->setObjectName(QStringLiteral("prgRun"));
    prgRun_->setRange(0, 1000);
    prgRun_->setTextVisible(false);
    auto* progressRow = new QHBoxLayout(progress_);
    progressRow->setContentsMargins(0, 0, 0, 0);
    progressRow->addWidget(progressText_, 1);
    progressRow->addWidget(prgRun_, 1);
    QSizePolicy keep = progress_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    progress_->setSizePolicy(keep);
    progress_->hide();

    auto* side = new QVBoxLayout;
    side->addWidget(statsBox);
    side->addStretch(1);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    auto* view = new QVBoxLayout;
    legend_ = newWellStatusLegend(this);
    view->addWidget(stack_, 1);
    view->addWidget(legend_);
    row->addLayout(view, 1);
    row->addLayout(side);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(row, 1);
}

void GuiResultsPanel::setView(View view) {
    if (view == View::Kinetics && documentSets() < 2) view = View::Grid;
    view_ = view;
    cmdViewHeatMap_->setChecked(view == View::HeatMap);
    cmdViewKinetics_->setChecked(view == View::Kinetics);
    stack_->setCurrentIndex(static_cast<int>(view));
    legend_->setVisible(view == View::Grid);  // the heat map draws its own
    refresh();
}

int GuiResultsPanel::documentSets() const {
    if (const PanelRun run = run_(); run.measuring) return run.lastSet - run.firstSet + 1;
    return qBound(0, session_.setCount(), kMaxSets);
}

int GuiResultsPanel::shownSet() const {
    const PanelRun run = run_();
    return run.measuring ? run.set : qBound(1, session_.shownSet(), kMaxSets);
}

void GuiResultsPanel::refresh() {
    const DocumentSession& open = session_;
    const int sets = documentSets();
    const PanelRun run = run_();
    cmdViewKinetics_->setEnabled(sets > 1 && !run.measuring);
    const int set = shownSet();
    const bool running = run.measuring;
    // A document without sets has nothing read yet: its selected wells wait for a run. So has
    // a run still contacting the instrument: the table holds the previous document's readings.
    static const PlateDocument nothingRead;
    const bool empty = running ? !run.setsCleared : sets <= 0;
    const PlateDocument& readings = empty ? nothingRead : open.document();
    const int shown = empty ? 1 : set;
    const SetStatistics st = setStatistics(readings, shown);
    const bool any = st.n > 0;
    const QString none = QStringLiteral("-");
    // One rule for every figure: one decimal, as the grid shows a value.
    const auto figure = [](double v) { return formatFixed(v, 1, 1); };
    const QString texts[7] = {QString::number(any ? st.n : 0),
                              QString::number(st.saturated),
                              any ? figure(st.min) : none,
                              any ? figure(st.max) : none,
                              any ? figure(st.mean) : none,
                              any && st.hasSd() ? figure(st.sd) : none,
                              any && st.hasCv() ? figure(st.cvPercent()) : none};
    for (int i = 0; i < 7; ++i) stats_[i]->setText(texts[i]);
    // The set being measured has pending wells; every other set is complete.
    const WellMatrix selected = open.canEdit() || running
                                    ? open.runOptions().SelectedWells
                                    : documentSelection(open.document(), sets);
    const bool complete = !empty && !running;
    if (running && empty) showPendingWells(*grid_, selected);
    shadeWellStatuses(*grid_, setStatuses(readings, shown, selected, complete));
    markChosenWells(*grid_, chosen_);
    if (view_ == View::HeatMap) {
        const HeatScale scale = empty     ? HeatScale::forSets(readings, 1, 1)
                                : running ? HeatScale::forSets(readings, run.firstSet, set)
                                          : HeatScale::forSets(readings, 1, sets);
        const QString title = sets > 0 ? QStringLiteral("Set %1 of %2").arg(set).arg(sets)
                                       : QStringLiteral("No sets");
        HeatMapPicture picture = heatMapPicture(readings, shown, selected, complete, scale, title);
        for (size_t i = 0; i < chosen_.size(); ++i)
            picture.wells[size_t(chosen_[i])].mark = seriesColour(int(i));
        heatMap_->setPicture(std::move(picture));
    } else if (view_ == View::Kinetics) {
        kinetics_->show(open.document(), sets, chosen_);
    } else if (view_ == View::Analysis && !running) {
        // The one place the open document reaches the analysis.
        analysis_->setDocument(shownDocument(open, sets), open.path());
    }
}

void GuiResultsPanel::showProgress(const RunProgressInput& in) {
    if (in.phase == RunPhase::Idle) {
        // The run's last repaint came while it was still active: show the document now.
        if (!progress_->isHidden()) {
            progress_->hide();
            refresh();
        }
        return;
    }
    const RunProgressView v = runProgressView(in);
    progressText_->setText(QStringLiteral("%1 \u2013 %2 \u2013 %3 \u2013 %4 \u2013 %5")
                               .arg(v.phase, v.set, v.wells, v.elapsed, v.left));
    prgRun_->setValue(v.permille);
    progress_->show();
    refresh();  // the grid's well statuses and the heat map follow the run
}

void GuiResultsPanel::toggleChosenWell(int well) {
    if (well < 0 || well >= kWellCount) return;
    const auto it = std::find(chosen_.begin(), chosen_.end(), well);
    if (it != chosen_.end())
        chosen_.erase(it);
    else
        chosen_.push_back(well);
    refresh();  // the wells' frames in the grid and the heat map, and the chart
}

QString GuiResultsPanel::exportReport(const QString& path) const {
    const DocumentSession& open = session_;
    ReportSource source{open.document(), documentSets(), documentCaption(),
                        QDateTime::currentDateTime()};
    // The layout kept beside the data file comes with the report even when the analysis view
    // was never shown.
    const PlateDocument document = shownDocument(open, documentSets());
    if (!run_().measuring) analysis_->setDocument(document, open.path());
    const ReportAnalysis analysis{document, analysis_->plateLayout(), analysis_->settings(),
                                  analysis_->concentrationUnit()};
    source.analysis = &analysis;
    return WriteReport(source, path);
}

QString GuiResultsPanel::exportPicture(const QString& path) const {
    const DocumentSession& open = session_;
    const int sets = documentSets();
    const int set = shownSet();
    const WellMatrix selected =
        open.canEdit() ? open.runOptions().SelectedWells : documentSelection(open.document(), sets);
    return writeHeatMapPicture(
        heatMapPicture(
            open.document(), set, selected, true, HeatScale::forSets(open.document(), 1, sets),
            QStringLiteral("%1: set %2 of %3").arg(documentCaption()).arg(set).arg(sets)),
        path);
}

QString GuiResultsPanel::documentCaption() const {
    const QString caption = owner_ ? owner_->windowTitle() : QString();
    return caption.isEmpty() ? QStringLiteral("New measurement") : caption;
}

void GuiResultsPanel::chooseAndExportReport() {
    const QString base = QFileInfo(documentCaption()).completeBaseName();
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Report"),
                                                      QDir(folders_.data).filePath(base + ".pdf"),
                                                      QStringLiteral("PDF documents (*.pdf)"));
    if (path.isEmpty()) return;
    const QString error = exportReport(path);
    if (!error.isEmpty()) QMessageBox::warning(this, QString(), error);
    if (error.isEmpty()) emit exportWritten(QStringLiteral("pdf"), path);
}

void GuiResultsPanel::chooseAndExportPicture() {
    const QString base = QFileInfo(documentCaption()).completeBaseName();
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export Picture"), QDir(folders_.data).filePath(base + ".png"),
        QStringLiteral("PNG pictures (*.png);;SVG drawings (*.svg)"));
    if (path.isEmpty()) return;
    const QString error = exportPicture(path);
    if (!error.isEmpty()) QMessageBox::warning(this, QString(), error);
    if (error.isEmpty()) emit exportWritten(QFileInfo(path).suffix().toLower(), path);
}

}  // namespace vantorix
