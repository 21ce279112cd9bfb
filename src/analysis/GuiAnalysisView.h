// The analysis view: the layout painted on the plate (or a kinetics figure of each well), the
// standard curve, the table of results and the plate's verdict for one set of the open
// document, with the curve's model and weighting to choose. The layout is kept beside the data file
// and found there again.
#pragma once

#include <QWidget>
#include <optional>

#include "analysis/DatasetAnalysis.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;
class QTableWidget;

namespace vantorix {

class GuiLayoutPlate;
class GuiCurvePlot;
class GuiFigurePlate;

class GuiAnalysisView : public QWidget {
    Q_OBJECT
  public:
    explicit GuiAnalysisView(QWidget* parent = nullptr);

    // The open document and its data file ("" for a run not saved yet). Another data file
    // brings the layout saved beside it (else the document's own).
    void setDocument(const PlateDocument& document, const QString& dataPath);
    // Takes `layout` for the analysis and saves it beside the data file. Empty text when done,
    // else why it could not be saved (the layout is used all the same).
    QString useLayout(const WellLayout& layout);
    // A protocol's layout and settings for the next document shown (a new run): the settings
    // at once, the layout in place of the document's, kept beside its data file once saved.
    void presetAnalysis(const WellLayout& layout, const AnalysisSettings& settings);
    // Opens the layout editor on the current layout; OK uses what it made.
    void editLayout();

    const WellLayout& plateLayout() const { return layout_; }
    const QString& dataPath() const { return dataPath_; }
    AnalysisSettings settings() const;
    QString concentrationUnit() const;
    const DatasetAnalysis& analysis() const { return analysis_; }
    QTableWidget* resultsTable() const { return tblResults_; }
    // The kinetics figure the plate picture shows instead of the layout ("Plate shows").
    GuiFigurePlate* figurePlate() const { return figure_; }

  signals:
    // The set was analysed again (another document, set, layout, model or weighting).
    void analysed();

  private:
    QWidget* buildChoices();
    QWidget* buildVerdict();
    void reanalyse();
    // The unit typed is the layout's: kept in its file with it.
    void unitEdited();
    void showUnit();
    void fillTable();
    void fillVerdict();
    void showPlate();

    PlateDocument document_;
    QString dataPath_;
    bool loaded_ = false;
    WellLayout layout_;
    std::optional<WellLayout> presetLayout_;  // a protocol's, until its run's file is saved
    AnalysisSettings settings_;               // model and weighting are the boxes' choices
    DatasetAnalysis analysis_;
    QSpinBox* spnSet_ = nullptr;
    QComboBox* cboModel_ = nullptr;
    QComboBox* cboWeight_ = nullptr;
    QComboBox* cboPlateShows_ = nullptr;
    QLineEdit* txtUnit_ = nullptr;
    QLabel* lblLayoutFile_ = nullptr;
    GuiLayoutPlate* plate_ = nullptr;
    GuiFigurePlate* figure_ = nullptr;
    QStackedWidget* pictures_ = nullptr;
    GuiCurvePlot* curve_ = nullptr;
    QTableWidget* tblResults_ = nullptr;
    QLabel* lblVerdict_ = nullptr;
    QLabel* lblFigures_ = nullptr;
};

}  // namespace vantorix
