#include "analysis/GuiAnalysisView.h"

#include <algorithm>

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/AnalysisRows.h"
#include "analysis/GuiCurvePlot.h"
#include "analysis/GuiFigurePlate.h"
#include "analysis/GuiLayoutPlate.h"
#include "analysis/Kinetics.h"
#include "analysis/LayoutFile.h"
#include "analysis/frmLayoutEditor.h"

namespace vantorix {

namespace {

constexpr CurveModel kModels[] = {CurveModel::Linear, CurveModel::LogLog, CurveModel::FourPL,
                                  CurveModel::FivePL};
constexpr Weighting kWeights[] = {Weighting::None, Weighting::InverseY, Weighting::InverseY2};
// What the plate picture can show: the layout, then each kinetics figure with its unit.
constexpr KineticsFigure kFigures[] = {KineticsFigure::Slope, KineticsFigure::Maximum,
                                       KineticsFigure::TimeOfMaximum, KineticsFigure::Area};
const char* const kPlateShows[] = {"Layout", "Slope (RLU/s)", "Maximum (RLU)",
                                   "Time of maximum (s)", "Area (RLU\u00b7s)"};

QLabel* caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

}  // namespace

GuiAnalysisView::GuiAnalysisView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlAnalysis"));
    plate_ = new GuiLayoutPlate(this);
    plate_->setMinimumSize(380, 250);
    figure_ = new GuiFigurePlate(this);
    pictures_ = new QStackedWidget(this);
    pictures_->addWidget(plate_);
    pictures_->addWidget(figure_);
    curve_ = new GuiCurvePlot(this);
    tblResults_ = new QTableWidget(0, int(analysisColumnTitles().size()), this);
    tblResults_->setObjectName(QStringLiteral("tblAnalysisResults"));
    tblResults_->setHorizontalHeaderLabels(analysisColumnTitles());
    tblResults_->verticalHeader()->hide();
    tblResults_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblResults_->horizontalHeader()->setStretchLastSection(true);
    tblResults_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    auto* top = new QSplitter(Qt::Horizontal, this);
    top->addWidget(pictures_);
    top->addWidget(curve_);
    top->setStretchFactor(0, 1);
    top->setStretchFactor(1, 1);
    auto* bottom = new QSplitter(Qt::Horizontal, this);
    bottom->addWidget(tblResults_);
    bottom->addWidget(buildVerdict());
    bottom->setStretchFactor(0, 3);
    bottom->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(top);
    split->addWidget(bottom);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(buildChoices());
    outer->addWidget(split, 1);
    reanalyse();
}

QWidget* GuiAnalysisView::buildChoices() {
    auto* row = new QWidget(this);
    spnSet_ = new QSpinBox(row);
    spnSet_->setObjectName(QStringLiteral("spnAnalysisSet"));
    spnSet_->setRange(1, 1);
    cboModel_ = new QComboBox(row);
    cboModel_->setObjectName(QStringLiteral("cboAnalysisModel"));
    cboModel_->addItems({QStringLiteral("Linear"), QStringLiteral("Log-log"),
                         QStringLiteral("4-parameter logistic"),
                         QStringLiteral("5-parameter logistic")});
    cboModel_->setCurrentIndex(2);
    cboWeight_ = new QComboBox(row);
    cboWeight_->setObjectName(QStringLiteral("cboAnalysisWeighting"));
    cboWeight_->addItems(
        {QStringLiteral("None"), QStringLiteral("1/y"), QStringLiteral("1/y\u00b2")});
    txtUnit_ = new QLineEdit(row);
    txtUnit_->setObjectName(QStringLiteral("txtConcentrationUnit"));
    txtUnit_->setPlaceholderText(QStringLiteral("e.g. nM"));
    txtUnit_->setMaximumWidth(90);
    cboPlateShows_ = new QComboBox(row);
    cboPlateShows_->setObjectName(QStringLiteral("cboPlateShows"));
    for (const char* item : kPlateShows) cboPlateShows_->addItem(QString::fromUtf8(item));
    cboPlateShows_->setToolTip(QStringLiteral("Kinetics figures need a run of several sets"));
    auto* edit = new QPushButton(QStringLiteral("&Edit Layout..."), row);
    edit->setObjectName(QStringLiteral("cmdEditLayout"));
    edit->setAutoDefault(false);
    lblLayoutFile_ = new QLabel(row);
    lblLayoutFile_->setObjectName(QStringLiteral("lblLayoutFile"));
    lblLayoutFile_->setStyleSheet(QStringLiteral("color: #555"));
    lblLayoutFile_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(spnSet_, &QSpinBox::valueChanged, this, &GuiAnalysisView::reanalyse);
    connect(cboModel_, &QComboBox::currentIndexChanged, this, &GuiAnalysisView::reanalyse);
    connect(cboWeight_, &QComboBox::currentIndexChanged, this, &GuiAnalysisView::reanalyse);
    connect(cboPlateShows_, &QComboBox::currentIndexChanged, this, &GuiAnalysisView::showPlate);
    connect(txtUnit_, &QLineEdit::editingFinished, this, &GuiAnalysisView::unitEdited);
    connect(edit, &QPushButton::clicked, this, &GuiAnalysisView::editLayout);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(caption(QStringLiteral("Set:"), row));
    h->addWidget(spnSet_);
    h->addWidget(caption(QStringLiteral("Curve:"), row));
    h->addWidget(cboModel_);
    h->addWidget(caption(QStringLiteral("Weighting:"), row));
    h->addWidget(cboWeight_);
    h->addWidget(caption(QStringLiteral("Concentration unit:"), row));
    h->addWidget(txtUnit_);
    h->addWidget(caption(QStringLiteral("Plate shows:"), row));
    h->addWidget(cboPlateShows_);
    h->addWidget(edit);
    h->addWidget(lblLayoutFile_, 1);
    return row;
}

QWidget* GuiAnalysisView::buildVerdict() {
    auto* box = new QGroupBox(QStringLiteral("Plate QC"), this);
    box->setObjectName(QStringLiteral("fraVerdict"));
    lblVerdict_ = new QLabel(box);
    lblVerdict_->setObjectName(QStringLiteral("lblVerdict"));
    lblVerdict_->setWordWrap(true);
    QFont big = lblVerdict_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblVerdict_->setFont(big);
    lblFigures_ = new QLabel(box);
    lblFigures_->setObjectName(QStringLiteral("lblVerdictFigures"));
    lblFigures_->setWordWrap(true);
    lblFigures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblFigures_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // The figures scroll rather than push the table off a small screen.
    auto* scroll = new QScrollArea(box);
    scroll->setWidget(lblFigures_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    box->setMinimumWidth(320);
    auto* v = new QVBoxLayout(box);
    v->addWidget(lblVerdict_);
    v->addWidget(scroll, 1);
    return box;
}

void GuiAnalysisView::setDocument(const PlateDocument& document, const QString& dataPath) {
    const bool another = !loaded_ || dataPath != dataPath_;
    document_ = document;
    if (another) {
        loaded_ = true;
        dataPath_ = dataPath;
        layout_ = presetLayout_.value_or(document.layout);
        lblLayoutFile_->clear();
        const QString beside = dataPath.isEmpty() ? QString() : layoutPathFor(dataPath);
        if (presetLayout_ && !beside.isEmpty()) {
            const QString problem = writeLayoutFile(layout_, beside);
            lblLayoutFile_->setText(problem.isEmpty() ? QStringLiteral("Layout: %1").arg(beside)
                                                      : problem);
            presetLayout_.reset();
        } else if (!presetLayout_ && !beside.isEmpty() && QFileInfo::exists(beside)) {
            const LayoutRead read = readLayoutFile(beside);
            if (read.ok) layout_ = read.layout;
            lblLayoutFile_->setText(read.ok ? QStringLiteral("Layout: %1").arg(beside)
                                            : read.message);
        }
        showUnit();
    }
    spnSet_->setRange(1, std::max(1, document_.setCount()));
    reanalyse();
}

QString GuiAnalysisView::useLayout(const WellLayout& layout) {
    layout_ = layout;
    showUnit();
    QString problem;
    if (dataPath_.isEmpty()) {
        lblLayoutFile_->setText(
            QStringLiteral("The layout is kept beside the data file once the run is saved."));
    } else {
        const QString beside = layoutPathFor(dataPath_);
        problem = writeLayoutFile(layout_, beside);
        lblLayoutFile_->setText(problem.isEmpty() ? QStringLiteral("Layout: %1").arg(beside)
                                                  : problem);
    }
    reanalyse();
    return problem;
}

void GuiAnalysisView::presetAnalysis(const WellLayout& layout, const AnalysisSettings& settings) {
    // A protocol without a layout leaves the file's (or the document's) in place.
    presetLayout_ = layout.isEmpty() ? std::nullopt : std::optional<WellLayout>(layout);
    loaded_ = false;  // the next document is another one
    settings_ = settings;
    const QSignalBlocker model(cboModel_), weight(cboWeight_);
    cboModel_->setCurrentIndex(int(
        std::find(std::begin(kModels), std::end(kModels), settings.model) - std::begin(kModels)));
    cboWeight_->setCurrentIndex(
        int(std::find(std::begin(kWeights), std::end(kWeights), settings.weighting) -
            std::begin(kWeights)));
}

void GuiAnalysisView::editLayout() {
    frmLayoutEditor editor(layout_, this);
    if (editor.exec() == QDialog::Accepted) useLayout(editor.plateLayout());
}

AnalysisSettings GuiAnalysisView::settings() const {
    AnalysisSettings s = settings_;
    s.model = kModels[std::clamp(cboModel_->currentIndex(), 0, 3)];
    s.weighting = kWeights[std::clamp(cboWeight_->currentIndex(), 0, 2)];
    return s;
}

QString GuiAnalysisView::concentrationUnit() const {
    return txtUnit_->text().trimmed();
}

void GuiAnalysisView::showUnit() {
    const QSignalBlocker blocker(txtUnit_);
    txtUnit_->setText(layout_.concentrationUnit);
}

void GuiAnalysisView::unitEdited() {
    if (concentrationUnit() == layout_.concentrationUnit) return;
    WellLayout layout = layout_;
    layout.concentrationUnit = concentrationUnit();
    if (layout.isEmpty()) {
        layout_ = layout;
        reanalyse();
    } else {
        useLayout(layout);
    }
}

void GuiAnalysisView::reanalyse() {
    const int set = spnSet_->value();
    plate_->setPlateLayout(layout_);
    analysis_ = set <= document_.setCount()
                    ? analyzeDataset(document_.datasets[size_t(set - 1)], layout_, settings(), set)
                    : DatasetAnalysis{};
    curve_->setAnalysis(analysis_, settings().model, concentrationUnit());
    fillTable();
    fillVerdict();
    showPlate();
    emit analysed();
}

void GuiAnalysisView::showPlate() {
    const int shown = cboPlateShows_->currentIndex();
    cboPlateShows_->setEnabled(document_.setCount() > 1 || shown > 0);
    pictures_->setCurrentIndex(shown > 0 ? 1 : 0);
    if (shown <= 0) return;
    // The figures leave out the wells the layout leaves out.
    PlateDocument withLayout = document_;
    withLayout.layout = layout_;
    const auto kinetics = wellKinetics(withLayout);
    FigurePlate plate;
    plate.caption = cboPlateShows_->currentText();
    for (int w = 0; w < kWellCount; ++w)
        plate.values[size_t(w)] = kineticsFigure(kinetics[size_t(w)], kFigures[shown - 1]);
    figure_->setPlate(plate);
}

void GuiAnalysisView::fillTable() {
    tblResults_->setRowCount(int(analysis_.wells.size()));
    for (int r = 0; r < int(analysis_.wells.size()); ++r) {
        const QStringList texts = analysisRowTexts(analysis_.wells[size_t(r)]);
        for (int c = 0; c < int(texts.size()); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c >= 3 && c <= 8) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblResults_->setItem(r, c, item);
        }
    }
    tblResults_->resizeColumnsToContents();
}

void GuiAnalysisView::fillVerdict() {
    if (layout_.isEmpty()) {
        lblVerdict_->setText(QStringLiteral("No layout"));
        lblVerdict_->setStyleSheet({});
        lblFigures_->setText(
            QStringLiteral("Edit the layout to say which wells hold blanks, "
                           "standards, controls and samples."));
        return;
    }
    lblVerdict_->setText(verdictText(analysis_));
    lblVerdict_->setStyleSheet(analysis_.quality.pass ? QStringLiteral("color: #006d2c")
                                                      : QStringLiteral("color: #b00020"));
    QString html = QStringLiteral("<table cellspacing=2>");
    for (const VerdictLine& line : verdictLines(analysis_, settings()))
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(line.caption.toHtmlEscaped(), line.text.toHtmlEscaped());
    lblFigures_->setText(html + QStringLiteral("</table>"));
}

}  // namespace vantorix
