#include "frame/frmHistory.h"

#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "history/History.h"

namespace vantorix {

namespace {

using history::EventKind;

const QDate kAnyDate(2000, 1, 1);

QString localText(const QDateTime& utc) {
    return utc.isValid() ? utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                         : QString();
}

QTableWidget* table(QWidget* parent, const char* name, const QStringList& columns) {
    auto* t = new QTableWidget(0, int(columns.size()), parent);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels(columns);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setAlternatingRowColors(true);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 8);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setHighlightSections(false);
    return t;
}

// Columns as wide as their texts, with room to breathe; the last one takes the rest.
void fitColumns(QTableWidget* t) {
    t->resizeColumnsToContents();
    for (int c = 0; c + 1 < t->columnCount(); ++c) t->setColumnWidth(c, t->columnWidth(c) + 16);
    t->horizontalHeader()->setStretchLastSection(true);
}

void setRow(QTableWidget* t, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setToolTip(cells[c]);
        t->setItem(row, c, item);
    }
}

QDateEdit* dateEdit(QWidget* parent, const char* name) {
    auto* d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d->setMinimumDate(kAnyDate);
    d->setSpecialValueText(QStringLiteral("any day"));
    d->setDate(kAnyDate);
    return d;
}

QDateTime boundary(const QDateEdit* d, int extraDays) {
    if (d->date() == kAnyDate) return {};
    return QDateTime(d->date().addDays(extraDays), QTime(0, 0)).toUTC();
}

QString eventDetails(const history::Fields& fields) {
    QStringList parts;
    for (const auto& [name, value] : fields)
        if (!value.isEmpty()) parts << name + QStringLiteral(": ") + value;
    return parts.join(QStringLiteral("; "));
}

}  // namespace

QString eventKindText(EventKind kind) {
    switch (kind) {
        case EventKind::RunStarted:
            return QStringLiteral("Run started");
        case EventKind::RunCompleted:
            return QStringLiteral("Run completed");
        case EventKind::RunCancelled:
            return QStringLiteral("Run cancelled");
        case EventKind::RunRecovered:
            return QStringLiteral("Run recovered");
        case EventKind::FileSaved:
            return QStringLiteral("File saved");
        case EventKind::FileSavedElsewhere:
            return QStringLiteral("Saved elsewhere");
        case EventKind::HeaderChanged:
            return QStringLiteral("Header changed");
        case EventKind::ExportWritten:
            return QStringLiteral("Exported");
        case EventKind::ReportWritten:
            return QStringLiteral("Report written");
        case EventKind::AnalysisDone:
            return QStringLiteral("Analysed");
        case EventKind::FirmwareSent:
            return QStringLiteral("Firmware sent");
        case EventKind::SettingsChanged:
            return QStringLiteral("Settings changed");
    }
    return {};
}

frmHistory::frmHistory(history::History& db, OpenFile open, QWidget* parent)
    : QDialog(parent), db_(db), open_(std::move(open)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("History"));
    buildControls();
    resize(1040, 600);
}

void frmHistory::buildControls() {
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));

    auto* runsPage = new QWidget(tabs);
    auto* search = new QHBoxLayout;
    auto addField = [&](QLineEdit*& edit, const char* name, const QString& label) {
        edit = new QLineEdit(runsPage);
        edit->setObjectName(QLatin1String(name));
        edit->setClearButtonEnabled(true);
        edit->setPlaceholderText(QStringLiteral("any"));
        auto* caption = new QLabel(label, runsPage);
        caption->setBuddy(edit);
        search->addWidget(caption);
        search->addWidget(edit, 1);
    };
    addField(txtOperator, "txtOperator", QStringLiteral("&Operator:"));
    addField(txtTest, "txtTest", QStringLiteral("&Test:"));
    addField(txtPlate, "txtPlate", QStringLiteral("&Plate:"));
    dtpSince = dateEdit(runsPage, "dtpSince");
    dtpUntil = dateEdit(runsPage, "dtpUntil");
    for (auto [edit, label] : {std::pair{dtpSince, "&From:"}, std::pair{dtpUntil, "t&o:"}}) {
        auto* caption = new QLabel(QLatin1String(label), runsPage);
        caption->setBuddy(edit);
        search->addWidget(caption);
        search->addWidget(edit);
    }

    grdRuns = table(runsPage, "grdRuns",
                    {QStringLiteral("Date"), QStringLiteral("Operator"), QStringLiteral("Test"),
                     QStringLiteral("Plate"), QStringLiteral("Sets"), QStringLiteral("File")});
    lblRunCount = new QLabel(runsPage);
    lblRunCount->setObjectName(QStringLiteral("lblRunCount"));
    auto* runsLayout = new QVBoxLayout(runsPage);
    runsLayout->addLayout(search);
    runsLayout->addWidget(grdRuns, 1);
    runsLayout->addWidget(lblRunCount);
    tabs->addTab(runsPage, QStringLiteral("&Runs"));

    auto* eventsPage = new QWidget(tabs);
    lblEventsFile = new QLabel(eventsPage);
    lblEventsFile->setObjectName(QStringLiteral("lblEventsFile"));
    lblEventsFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grdEvents = table(eventsPage, "grdEvents",
                      {QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What"),
                       QStringLiteral("Details")});
    auto* eventsLayout = new QVBoxLayout(eventsPage);
    eventsLayout->addWidget(lblEventsFile);
    eventsLayout->addWidget(grdEvents, 1);
    tabs->addTab(eventsPage, QStringLiteral("&Events of the Open File"));

    cmdOpen = new QPushButton(QStringLiteral("Open File"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    for (QLineEdit* edit : {txtOperator, txtTest, txtPlate})
        connect(edit, &QLineEdit::textChanged, this, &frmHistory::search);
    for (QDateEdit* edit : {dtpSince, dtpUntil})
        connect(edit, &QDateEdit::dateChanged, this, &frmHistory::search);
    connect(grdRuns, &QTableWidget::cellDoubleClicked, this, &frmHistory::openChosen);
    connect(grdRuns, &QTableWidget::itemSelectionChanged, this,
            [this] { cmdOpen->setEnabled(!chosenFile().isEmpty()); });
    connect(cmdOpen, &QPushButton::clicked, this, &frmHistory::openChosen);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(tabs, &QTabWidget::currentChanged, this,
            [this](int page) { cmdOpen->setVisible(page == 0); });
}

void frmHistory::refresh(const QString& openFile) {
    openFile_ = openFile;
    search();
    showEvents();
}

void frmHistory::search() {
    history::RunFilter filter;
    filter.operatorName = txtOperator->text().trimmed();
    filter.test = txtTest->text().trimmed();
    filter.plate = txtPlate->text().trimmed();
    filter.since = boundary(dtpSince, 0);
    filter.until = boundary(dtpUntil, 1);  // the whole of the last day
    filter.limit = kMaxRows;
    const std::vector<history::RunRow> rows = db_.runs(filter);
    grdRuns->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const history::FileFacts& f = rows[r].facts;
        setRow(grdRuns, r,
               {localText(rows[r].when), f.header.operatorName, f.header.test, f.header.plateNo,
                QString::number(f.sets), QDir::toNativeSeparators(f.path)});
        grdRuns->item(r, 0)->setData(Qt::UserRole, f.path);
    }
    fitColumns(grdRuns);
    const int n = int(rows.size());
    lblRunCount->setText(
        n == kMaxRows
            ? QStringLiteral("The newest %1 runs; narrow the search to see older ones.").arg(n)
        : n == 1 ? QStringLiteral("1 run")
                 : QStringLiteral("%1 runs").arg(n));
    if (n > 0) grdRuns->selectRow(0);
    cmdOpen->setEnabled(!chosenFile().isEmpty());
}

void frmHistory::showEvents() {
    grdEvents->setRowCount(0);
    if (openFile_.isEmpty()) {
        lblEventsFile->setText(QStringLiteral("No file is open."));
        return;
    }
    const std::vector<history::StoredEvent> events = db_.events({openFile_, {}});
    const QString count = events.size() == 1 ? QStringLiteral("1 event")
                                             : QStringLiteral("%1 events").arg(events.size());
    lblEventsFile->setText(QDir::toNativeSeparators(openFile_) + QStringLiteral(": ") + count);
    grdEvents->setRowCount(int(events.size()));
    for (int r = 0; r < int(events.size()); ++r) {
        const history::StoredEvent& e = events[r];
        setRow(grdEvents, r,
               {localText(e.time), e.login + u'@' + e.host, eventKindText(e.event.kind),
                eventDetails(e.event.fields)});
    }
    fitColumns(grdEvents);
}

QString frmHistory::chosenFile() const {
    const QList<QTableWidgetItem*> chosen = grdRuns->selectedItems();
    if (chosen.isEmpty()) return {};
    const QTableWidgetItem* first = grdRuns->item(chosen.first()->row(), 0);
    return first ? first->data(Qt::UserRole).toString() : QString();
}

void frmHistory::openChosen() {
    const QString path = chosenFile();
    if (path.isEmpty()) return;
    if (open_) open_(path);
    refresh(path);
}

}  // namespace vantorix
