// The measurement window's controls, their layout and their wiring.
#include "measurement/frmZyvora.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

#include "measurement/GuiLinkPictures.h"
#include "measurement/RunSequence.h"
#include "measurement/frmZyvoraFrontEnd.h"
#include "plate/DocumentSession.h"
#include "results/GuiResultsPanel.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

namespace {

// A data file cannot hold "<" in a header text, so the fields refuse it with a beep.
class HeaderTextValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (!input.contains(u'<')) return Acceptable;
        QApplication::beep();
        return Invalid;
    }
};

// The scrolled content takes the height the window gives it. A word-wrapped label inside would
// otherwise make the scroll area size it to its preferred height, and scroll, on a screen
// that has room for all of it.
class FitToViewportLayout : public QVBoxLayout {
  public:
    using QVBoxLayout::QVBoxLayout;
    bool hasHeightForWidth() const override { return false; }
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit* makeField(QWidget* parent, const char* name, QLabel* buddy) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setValidator(new HeaderTextValidator(field));
    buddy->setBuddy(field);
    return field;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QToolButton* makeSpin(QWidget* parent, const char* name, Qt::ArrowType arrow, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

frmZyvora::frmZyvora(DocumentSession& session, RunOptions& runDefaults, DataFolders& folders,
                     SerialPort& port, Scheduler& scheduler, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      session_(session),
      runDefaults_(runDefaults),
      folders_(folders),
      port_(port),
      scheduler_(scheduler),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmZyvora"));
    setWindowTitle(QStringLiteral("Measurement"));
    frontEnd_ = std::make_unique<FrontEnd>(*this);
    run_ = std::make_unique<RunSequence>(session_, runDefaults_, folders_, port_, scheduler_,
                                         *frontEnd_);
    buildControls();
    layOutControls();
    connectControls();

    // Window load.
    bTerminate = false;
    InitResultsGrid();
    session_.runOptions() = runDefaults_;
    UpdateConfigurationText();
    session_.setPath({});
    ComStatusStep = 0;
    shadeSelectedWells();
    tmrComStatus_Timer();
}

frmZyvora::~frmZyvora() {
    if (comStatusTimer_) scheduler_.cancel(comStatusTimer_);
    run_.reset();
    if (busyCursor_) QApplication::restoreOverrideCursor();
}

void frmZyvora::buildControls() {
    lblOperator = makeLabel(this, "lblOperator", QStringLiteral("Ope&rator: "));
    txtOperator = makeField(this, "txtOperator", lblOperator);
    lblTest = makeLabel(this, "lblTest", QStringLiteral("&Test:"));
    txtTest = makeField(this, "txtTest", lblTest);
    lblPlateNo = makeLabel(this, "lblPlateNo", QStringLiteral("&Plate No:"));
    txtPlateNo = makeField(this, "txtPlateNo", lblPlateNo);
    lblNotes = makeLabel(this, "lblNotes", QStringLiteral("&Notes: "));
    txtNotes = makeField(this, "txtNotes", lblNotes);

    cmdStartCancel = makeButton(this, "cmdStartCancel", QStringLiteral("&Start"));
    cmdOptions = makeButton(this, "cmdOptions", QStringLiteral("&Options..."));
    cmdInsertDataIntoMicrosoftExcel =
        makeButton(this, "cmdInsertDataIntoMicrosoftExcel", QStringLiteral("Save to Excel"));
    cmdToggleDataTime = makeButton(this, "cmdToggleDataTime", QStringLiteral("&View Times"));
    cmdOptions->setEnabled(false);
    cmdInsertDataIntoMicrosoftExcel->setEnabled(false);

    grdResults = new QTableWidget(this);
    grdResults->setObjectName(QStringLiteral("grdResults"));
    grdResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdResults->setSelectionMode(QAbstractItemView::NoSelection);
    grdResults->setFocusPolicy(Qt::NoFocus);
    grdResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdResults->horizontalHeader()->setSectionsClickable(false);
    grdResults->verticalHeader()->setSectionsClickable(false);
    results_ = new GuiResultsPanel(
        session_, folders_, [this] { return panelRun(); }, grdResults, this);

    lblNumberOfRunsTitle =
        makeLabel(this, "lblNumberOfRunsTitle", QStringLiteral("Number of Runs ="));
    lblNumberOfRuns = makeLabel(this, "lblNumberOfRuns", QStringLiteral("1"));
    lblRunDate = makeLabel(this, "lblRunDate", QString());
    lblDataset = makeLabel(this, "lblDataset", QStringLiteral("1"));
    lblDatasets = makeLabel(this, "lblDatasets", QStringLiteral("of x Sets"));
    picSpinDown = makeSpin(this, "picSpinDown", Qt::LeftArrow, QStringLiteral("Previous set"));
    picSpinUp = makeSpin(this, "picSpinUp", Qt::RightArrow, QStringLiteral("Next set"));
    lblExtraSensitivity =
        makeLabel(this, "lblExtraSensitivity", QStringLiteral("Extra Sensitivity is:"));
    lblExtraSensitivityStatus = makeLabel(this, "lblExtraSensitivityStatus", QStringLiteral("Off"));
    QFont bold = lblExtraSensitivityStatus->font();
    bold.setBold(true);
    lblExtraSensitivityStatus->setFont(bold);
    lblNumberOfRuns->setFont(bold);

    StatusLine = makeLabel(this, "StatusLine", QStringLiteral("runtime status"));
    StatusLine->setFont(bold);
    StatusLine->hide();
    lblErrorMessage = makeLabel(this, "lblErrorMessage", QString());
    lblErrorMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblErrorMessage->setFrameShape(QFrame::StyledPanel);
    lblErrorMessage->setToolTip(QStringLiteral("Double-click to hide"));
    lblErrorMessage->installEventFilter(this);
    lblErrorMessage->hide();

    ComStatusLowRes = new QFrame(this);
    ComStatusLowRes->setObjectName(QStringLiteral("ComStatusLowRes"));
    ComStatusLowRes->setFrameShape(QFrame::StyledPanel);
    auto* running = new QLabel(QStringLiteral("Run in progress"), ComStatusLowRes);
    running->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    (new QHBoxLayout(ComStatusLowRes))->addWidget(running);
    ComStatusLowRes->hide();

    // The link pictures, stacked so that the one in front is the one seen.
    picComStatus = new QStackedWidget(this);
    picComStatus->setObjectName(QStringLiteral("picComStatus"));
    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < kComOkFrameCount; ++i) {
        picComOK[i] = makeLabel(picComStatus, "", QString());
        picComOK[i]->setObjectName(QStringLiteral("picComOK%1").arg(i));
        picComOK[i]->setPixmap(comOkPicture(i, dpr));
        picComStatus->addWidget(picComOK[i]);
    }
    for (int i = 0; i < kComQuestionFrameCount; ++i) {
        picComQuestion[i] = makeLabel(picComStatus, "", QString());
        picComQuestion[i]->setObjectName(QStringLiteral("picComQuestion%1").arg(i));
        picComQuestion[i]->setPixmap(comQuestionPicture(i, dpr));
        picComQuestion[i]->setToolTip(QStringLiteral("The instrument has been quiet for a while"));
        picComStatus->addWidget(picComQuestion[i]);
    }
    picComStatus->setFixedSize(kLinkPictureSize, kLinkPictureSize);
    picComStatus->setToolTip(QStringLiteral("Instrument link"));
}

void frmZyvora::layOutControls() {
    // Header: Operator and Plate No on one line, Test and Notes below, the right-hand fields
    // reaching the grid's right edge.
    auto* header = new QGridLayout;
    header->addWidget(lblOperator, 0, 0);
    header->addWidget(txtOperator, 0, 1);
    header->addWidget(lblPlateNo, 0, 2);
    header->addWidget(txtPlateNo, 0, 3);
    header->addWidget(lblTest, 1, 0);
    header->addWidget(txtTest, 1, 1, 1, 3);
    header->addWidget(lblNotes, 2, 0);
    header->addWidget(txtNotes, 2, 1, 1, 3);
    header->setColumnStretch(1, 1);
    header->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(cmdStartCancel), static_cast<QWidget*>(cmdOptions),
                       static_cast<QWidget*>(cmdInsertDataIntoMicrosoftExcel),
                       static_cast<QWidget*>(cmdToggleDataTime),
                       static_cast<QWidget*>(results_->heatMapButton()),
                       static_cast<QWidget*>(results_->kineticsButton())})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(ComStatusLowRes);
    buttons->addWidget(picComStatus);

    auto* info = new QHBoxLayout;
    info->addWidget(lblExtraSensitivity);
    info->addWidget(lblExtraSensitivityStatus);
    info->addSpacing(24);
    info->addWidget(lblNumberOfRunsTitle);
    info->addWidget(lblNumberOfRuns);
    info->addSpacing(24);
    info->addWidget(lblRunDate);
    info->addStretch(1);
    info->addWidget(picSpinDown);
    info->addWidget(lblDataset);
    info->addWidget(lblDatasets);
    info->addWidget(picSpinUp);

    // A small window scrolls rather than cutting off the grid's last columns.
    auto* content = new QWidget;
    auto* outer = new FitToViewportLayout(content);
    outer->addLayout(header);
    outer->addLayout(buttons);
    outer->addLayout(info);
    outer->addWidget(results_, 1);
    // The run's lines stay below the scrolled part, always in sight.
    auto* runLines = new QVBoxLayout;
    runLines->setContentsMargins(outer->contentsMargins().left(), 0,
                                 outer->contentsMargins().right(),
                                 outer->contentsMargins().bottom());
    runLines->addWidget(results_->progressLine());
    for (QLabel* line : {StatusLine, lblErrorMessage})
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(StatusLine, 1);
    statusRow->addWidget(lblErrorMessage, 1);
    runLines->addLayout(statusRow);
    // The lines keep their room while hidden, so the grid does not jump during a run.
    for (QWidget* line : {static_cast<QWidget*>(StatusLine), static_cast<QWidget*>(lblErrorMessage),
                          static_cast<QWidget*>(ComStatusLowRes)}) {
        QSizePolicy policy = line->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        line->setSizePolicy(policy);
    }
    grdResults->setMinimumSize(
        grdResults->fontMetrics().horizontalAdvance(QStringLiteral("0000000.0")) * 13,
        grdResults->fontMetrics().height() * 14);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrMeasurement"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroll, 1);
    frame->addLayout(runLines);
}

void frmZyvora::connectControls() {
    bindHeaderField(txtOperator, &PlateHeader::operatorName);
    bindHeaderField(txtTest, &PlateHeader::test);
    bindHeaderField(txtPlateNo, &PlateHeader::plateNo);
    bindHeaderField(txtNotes, &PlateHeader::notes);
    // The set browser's number follows the set shown, whoever changed it.
    connect(&session_, &DocumentSession::shownSetChanged, this,
            [this](int set) { lblDataset->setText(QString::number(set)); });
    connect(cmdStartCancel, &QPushButton::clicked, this, &frmZyvora::cmdStartCancel_Click);
    connect(cmdToggleDataTime, &QPushButton::clicked, this, &frmZyvora::cmdToggleDataTime_Click);
    connect(picSpinDown, &QToolButton::clicked, this, &frmZyvora::picSpinDown_Click);
    connect(picSpinUp, &QToolButton::clicked, this, &frmZyvora::picSpinUp_Click);
    connect(cmdOptions, &QPushButton::clicked, this, [this] {
        if (optionsHandler_) optionsHandler_();
    });
    connect(cmdInsertDataIntoMicrosoftExcel, &QPushButton::clicked, this, [this] {
        if (excelHandler_) excelHandler_();
    });
}

// The fields edit the document's header, which the run journals and writes to its file.
void frmZyvora::bindHeaderField(QLineEdit* field, QString PlateHeader::*text) {
    session_.setHeaderText(text, field->text());
    connect(field, &QLineEdit::textChanged, this,
            [this, text](const QString& t) { session_.setHeaderText(text, t); });
}

bool frmZyvora::eventFilter(QObject* watched, QEvent* event) {
    // Double-clicking the instrument's message line hides it until the next message.
    if (watched == lblErrorMessage && event->type() == QEvent::MouseButtonDblClick) {
        lblErrorMessage->hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmZyvora::setOptionsHandler(std::function<void()> handler) {
    optionsHandler_ = std::move(handler);
    cmdOptions->setEnabled(optionsWanted_ && optionsHandler_);
}

void frmZyvora::setExcelHandler(std::function<void()> handler) {
    excelHandler_ = std::move(handler);
}

void frmZyvora::cmdStartCancel_Click() {
    const bool wasRunning = run_->running();
    run_->startOrCancel();
    if (!wasRunning && run_->running()) emit runningChanged(true);
}

void frmZyvora::clearGUI() {
    txtTest->clear();
    txtOperator->clear();
    txtPlateNo->clear();
    txtNotes->clear();
}

void frmZyvora::setCanEditState(bool bCanEdit) {
    session_.setCanEdit(bCanEdit);
}

void frmZyvora::setNew() {
    setCanEditState(true);
    for (QLineEdit* field : {txtTest, txtOperator, txtPlateNo, txtNotes}) {
        field->setEnabled(true);
        field->setReadOnly(false);
    }
    clearGUI();
}

}  // namespace vantorix
