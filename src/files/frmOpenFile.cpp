#include "files/frmOpenFile.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStackedLayout>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "files/FolderListing.h"
#include "files/GuiSplitProgressBar.h"
#include "kernel/DataPaths.h"
#include "kernel/Scheduler.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

namespace {

// The folder model settles (fills and sorts) this long after it reports a folder loaded.
constexpr qint64 kFolderModelSettle_ms = 150;

struct GridColumn {
    const char* header;
    const char* widthText;  // the column is this text's width × 1.25
};
constexpr GridColumn kColumns[] = {
    {"Filename", "1234567890123456789012345"},
    {"Test", "123456789012345678901234567890"},
    {"Operator", "12345678901234567890"},
    {"Plate No.", "1234567890123"},
    {"Sets", "12345"},
    {"Date/Time", "12345678901234567890"},
    {"Date/Time for sorting", ""},
};
constexpr int kSortColumn = 6;

QStringList columnTexts(const ListedFile& f) {
    return {f.fileName, f.test, f.operatorName, f.plateNo, f.sets, f.dateTime, f.sortKey};
}

// The file system roots, and the user's home where there are no drive letters.
QStringList driveList() {
    QStringList drives;
    for (const QFileInfo& d : QDir::drives())
        drives << QDir::toNativeSeparators(d.absoluteFilePath());
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (!drives.contains(home)) drives << home;
    return drives;
}

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

bool isInside(const QString& folder, const QString& root) {
    const QString f = cleanFolder(folder), r = cleanFolder(root);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return f.compare(r, cs) == 0 || f.startsWith(r.endsWith(u'/') ? r : r + u'/', cs);
}

}  // namespace

frmOpenFile::frmOpenFile(DataFolders& folders, Dialogs& dialogs, Scheduler& scheduler,
                         OpenInWindow openInWindow, QWidget* parent)
    : QDialog(parent),
      dataFolders_(folders),
      dialogs_(dialogs),
      scheduler_(scheduler),
      openInWindow_(std::move(openInWindow)),
      listing_(std::make_unique<FolderListing>(scheduler, [this] { return dataFolders_.data; })) {
    setObjectName(QStringLiteral("frmOpenFile"));
    setWindowTitle(QStringLiteral("Open Data File"));
    buildControls();
    layOutControls();
    connectControls();
    initGrid();
    placeOnScreen();
    showBusy(true);
}

frmOpenFile::~frmOpenFile() {
    if (keepInViewCall_) scheduler_.cancel(keepInViewCall_);
}

bool frmOpenFile::rebuilding() const {
    return listing_->rebuilding();
}

void frmOpenFile::buildControls() {
    frameAncor = new QWidget(this);
    frameAncor->setObjectName(QStringLiteral("frameAncor"));
    frameReady = new QWidget(frameAncor);
    frameReady->setObjectName(QStringLiteral("frameReady"));
    frameBusy = new QWidget(frameAncor);
    frameBusy->setObjectName(QStringLiteral("frameBusy"));

    Drive1 = new QComboBox(frameReady);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    for (const QString& drive : driveList()) Drive1->addItem(drive, drive);
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    Dir1 = new QTreeView(frameReady);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c) Dir1->setColumnHidden(c, true);
    Dir1->setHeaderHidden(true);

    lblInfo = new QLabel(kListInfoText, frameReady);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    grdOVDList = new QTableWidget(frameReady);
    grdOVDList->setObjectName(QStringLiteral("grdOVDList"));
    lblFilenameTitle = new QLabel(QStringLiteral("Filename: "), frameReady);
    lblFilenameTitle->setObjectName(QStringLiteral("lblFilenameTitle"));
    lblFilename = new QLabel(frameReady);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    lblFilename->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lblBusy = new QLabel(kListBusyText, frameBusy);
    lblBusy->setObjectName(QStringLiteral("lblBusy"));
    picWhiteBack = new GuiSplitProgressBar(frameBusy);

    cmdOpen = new QPushButton(QStringLiteral("&Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setEnabled(false);
    cmdOpen->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
}

void frmOpenFile::layOutControls() {
    auto* folderColumn = new QVBoxLayout;
    folderColumn->addWidget(Drive1);
    folderColumn->addWidget(Dir1, 1);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(lblInfo);
    listColumn->addWidget(grdOVDList, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(folderColumn, 0);
    lists->addLayout(listColumn, 1);
    Dir1->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
    Drive1->setFixedWidth(Dir1->width());
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(lblFilenameTitle);
    fileRow->addWidget(lblFilename, 1);
    auto* ready = new QVBoxLayout(frameReady);
    ready->setContentsMargins(0, 0, 0, 0);
    ready->addLayout(lists, 1);
    ready->addLayout(fileRow);

    auto* busy = new QVBoxLayout(frameBusy);
    busy->addStretch(1);
    busy->addWidget(lblBusy, 0, Qt::AlignHCenter);
    busy->addWidget(picWhiteBack, 0, Qt::AlignHCenter);
    busy->addStretch(1);
    picWhiteBack->setFixedSize(fontMetrics().horizontalAdvance(kListBusyText) * 3 / 2,
                               fontMetrics().height() + 8);

    // Both frames sit at the anchor's place; one of them shows at a time.
    auto* anchor = new QStackedLayout(frameAncor);
    anchor->setContentsMargins(0, 0, 0, 0);
    anchor->addWidget(frameReady);
    anchor->addWidget(frameBusy);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdCancel);
    auto* whole = new QVBoxLayout(this);
    whole->addWidget(frameAncor, 1);
    whole->addLayout(buttons);
}

void frmOpenFile::connectControls() {
    connect(Drive1, &QComboBox::activated, this, &frmOpenFile::Drive1_Change);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!settingFolder_ && index.isValid()) Dir1_Change(folders_->filePath(index));
            });
    // The folder model fills and sorts in the background; keep the current folder in view once
    // it has settled.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (keepInViewCall_) scheduler_.cancel(keepInViewCall_);
        keepInViewCall_ = scheduler_.callAfter(kFolderModelSettle_ms, [this] {
            keepInViewCall_ = 0;
            keepFolderInView();
        });
    });
    connect(grdOVDList, &QTableWidget::cellClicked, this,
            [this](int row, int) { grdOVDList_Click(row); });
    connect(grdOVDList, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) grdOVDList_Click(row);
    });
    connect(grdOVDList, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        grdOVDList_Click(row);
        cmdOpen_Click();
    });
    connect(cmdOpen, &QPushButton::clicked, this, &frmOpenFile::cmdOpen_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(listing_.get(), &FolderListing::rebuildStarted, this, &frmOpenFile::startBusy);
    connect(listing_.get(), &FolderListing::progressed, this, [this](int examined, int total) {
        if (total > 0) picWhiteBack->setProgress(examined, total);
    });
    connect(listing_.get(), &FolderListing::rebuilt, this, &frmOpenFile::showRebuiltList);
}

void frmOpenFile::initGrid() {
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    grdOVDList->setFont(courier);
    grdOVDList->setColumnCount(std::size(kColumns));
    QStringList headers;
    for (const GridColumn& c : kColumns) headers << QString::fromLatin1(c.header);
    grdOVDList->setHorizontalHeaderLabels(headers);
    grdOVDList->horizontalHeader()->setFont(font());
    grdOVDList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grdOVDList->horizontalHeader()->setHighlightSections(false);
    grdOVDList->verticalHeader()->hide();
    grdOVDList->verticalHeader()->setDefaultSectionSize(QFontMetrics(courier).height() + 4);
    const QFontMetricsF metrics(font());
    for (int c = 0; c < kSortColumn; ++c)
        grdOVDList->setColumnWidth(
            c, qRound(metrics.horizontalAdvance(QLatin1String(kColumns[c].widthText)) * 1.25));
    grdOVDList->setColumnHidden(kSortColumn, true);
    grdOVDList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdOVDList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdOVDList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdOVDList->setWordWrap(false);
}

// Centred across, at one third of the free height down.
void frmOpenFile::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect free = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    int gridWidth = 0;
    for (int c = 0; c < kSortColumn; ++c) gridWidth += grdOVDList->columnWidth(c);
    const QSize wanted(Dir1->width() + gridWidth + 64, 520);
    resize(wanted.boundedTo(free.size()));
    move(free.left() + (free.width() - width()) / 2, free.top() + (free.height() - height()) / 3);
}

void frmOpenFile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Every showing starts with no row chosen, so Open waits for the user's choice.
    if (!event->spontaneous()) clearSelection();
    listing_->setActive(true);
    gotFocus();
}

void frmOpenFile::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // A hidden dialog watches nothing and spends nothing.
    listing_->setActive(false);
}

void frmOpenFile::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) gotFocus();
}

void frmOpenFile::gotFocus() {
    selectDriveOf(dataFolders_.data);
    showFolder(dataFolders_.data);
    RefreshFileList();
}

void frmOpenFile::forgetList() {
    listing_->forgetList();
}

void frmOpenFile::Drive1_Change(int index) {
    const QString drive = Drive1->itemData(index).toString();
    forgetList();
    const QFileInfo info(drive);
    if (!info.isDir() || !info.isReadable()) {
        dialogs_.inform(this,
                        QStringLiteral("Drive: ") + drive + QStringLiteral(" is not available"));
        // Where the program would fall back to the system drive, the user's home is sure to be
        // readable on every platform.
        const QString home = QDir::toNativeSeparators(QDir::homePath());
        Drive1->setCurrentIndex(Drive1->findData(home));
        dataFolders_.data = home;
    } else {
        dataFolders_.data = drive;
    }
    showFolder(dataFolders_.data);
    RefreshFileList();
}

void frmOpenFile::Dir1_Change(const QString& folder) {
    dataFolders_.data = QDir::toNativeSeparators(folder);
    RefreshFileList();
}

// The folder list shows the folder's drive, opened down to the folder.
void frmOpenFile::showFolder(const QString& folder) {
    if (cleanFolder(folder) == shownFolder_) return;
    shownFolder_ = cleanFolder(folder);
    settingFolder_ = true;
    const QString drive = Drive1->currentData().toString();
    const QString root = isInside(folder, drive) ? cleanFolder(drive) : shownFolder_;
    Dir1->setRootIndex(folders_->setRootPath(root));
    const QModelIndex index = folders_->index(shownFolder_);
    if (index.isValid()) {
        // Only the way down is opened: opening the data folder itself would make the model
        // read and watch every one of its (possibly thousands of) files.
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) Dir1->expand(up);
        Dir1->setCurrentIndex(index);
        Dir1->scrollTo(index);
    }
    settingFolder_ = false;
}

void frmOpenFile::keepFolderInView() {
    if (Dir1->currentIndex().isValid())
        Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
}

// The longest entry of the drive list that holds the folder (home before "/").
void frmOpenFile::selectDriveOf(const QString& folder) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString drive = Drive1->itemData(i).toString();
        if (isInside(folder, drive) && drive.size() > bestLength) {
            best = i;
            bestLength = drive.size();
        }
    }
    if (best >= 0) Drive1->setCurrentIndex(best);
}

void frmOpenFile::RefreshFileList() {
    showFolder(dataFolders_.data);
    listing_->RefreshFileList();
}

void frmOpenFile::showBusy(bool busy) {
    auto* anchor = static_cast<QStackedLayout*>(frameAncor->layout());
    anchor->setCurrentWidget(busy ? frameBusy : frameReady);
    // Nothing to open while the list is hidden; the chosen row comes back after the rebuild.
    if (busy) cmdOpen->setEnabled(false);
}

void frmOpenFile::startBusy() {
    showFolder(listing_->folder());
    showBusy(true);
    picWhiteBack->reset();
}

void frmOpenFile::showRebuiltList() {
    // Reopened after Open, the list is rebuilt from the header cache and mostly unchanged;
    // refilling ten thousand rows would cost more than the rebuild.
    if (listing_->folder() != gridFolder_ || listing_->rows() != gridRows_) {
        gridFolder_ = listing_->folder();
        gridRows_ = listing_->rows();
        fillGrid(gridRows_);
    }
    showBusy(false);
    emit listRebuilt();
}

// A row chosen before the rebuild stays chosen when its file is still listed.
void frmOpenFile::fillGrid(const std::vector<ListedFile>& rows) {
    const int chosen = grdOVDList->currentRow();
    const QString chosenName = chosen >= 0 && grdOVDList->item(chosen, 0)
                                   ? grdOVDList->item(chosen, 0)->text()
                                   : QString();
    clearSelection();
    grdOVDList->setUpdatesEnabled(false);
    grdOVDList->setRowCount(0);
    grdOVDList->setRowCount(static_cast<int>(rows.size()));
    int again = -1;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList texts = columnTexts(rows[r]);
        for (int c = 0; c < texts.size(); ++c)
            grdOVDList->setItem(r, c, new QTableWidgetItem(texts[c]));
        if (rows[r].fileName == chosenName) again = r;
    }
    grdOVDList->setUpdatesEnabled(true);
    if (again >= 0) grdOVDList_Click(again);
}

void frmOpenFile::clearSelection() {
    grdOVDList->setCurrentCell(-1, -1);
    grdOVDList->clearSelection();
    lblFilename->clear();
    cmdOpen->setEnabled(false);
}

void frmOpenFile::grdOVDList_Click(int row) {
    if (row < 0 || row >= grdOVDList->rowCount()) return;
    if (grdOVDList->currentRow() != row || grdOVDList->currentColumn() != 0)
        grdOVDList->setCurrentCell(row, 0);
    lblFilename->setText(joinPath(dataFolders_.data, grdOVDList->item(row, 0)->text()));
    cmdOpen->setEnabled(true);
}

void frmOpenFile::cmdOpen_Click() {
    const int row = grdOVDList->currentRow();
    if (!cmdOpen->isEnabled() || row < 0) return;
    const QString fileName = grdOVDList->item(row, 0)->text();
    openInWindow_(fileName);
    forgetList();
    accept();
}

}  // namespace vantorix
