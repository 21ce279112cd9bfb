#include "options/GuiWellGrid.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace vantorix {

namespace {

// Cells sit on a fixed pitch and are one pixel larger than it, so neighbours share a border
// line, as on a printed plate map.
constexpr int kPitchX = 28;
constexpr int kPitchY = 20;
constexpr int kGridLeft = 44;
constexpr int kGridTop = 30;
constexpr int kHeaderLeft = 6;
constexpr int kHeaderTop = 6;
constexpr int kLegendGap = 16;
const char* const kTagProperty = "tag";

QString tagText(bool selected) {
    return selected ? QStringLiteral("True") : QStringLiteral("False");
}

void paintCell(QLabel* cell, bool selected) {
    QPalette p = cell->palette();
    p.setColor(QPalette::Window, selected ? kWellSelectedColour : kWellClearColour);
    cell->setPalette(p);
}

QPushButton* headerButton(QWidget* parent, const QString& name, const QString& caption,
                          const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    // The buttons are small; keep the keyboard focus on the text boxes and OK.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

bool onPlate(int row, int column) {
    return row >= 0 && row < kPlateRows && column >= 0 && column < kPlateColumns;
}

}  // namespace

GuiWellGrid::GuiWellGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("grdWells"));
    buildCells();
    buildButtons();
    buildLegend();
    const int width = lblSample->geometry().right() + kHeaderLeft;
    const int height = kGridTop + kPlateRows * kPitchY + kHeaderTop;
    setFixedSize(width, height);
}

void GuiWellGrid::buildCells() {
    for (int r = 0; r < kPlateRows; ++r) {
        for (int c = 0; c < kPlateColumns; ++c) {
            auto* cell = new QLabel(this);
            cell->setObjectName(QStringLiteral("lblWell%1").arg(WellIndex(r, c)));
            cell->setGeometry(kGridLeft + kPitchX * c, kGridTop + kPitchY * r, kPitchX + 1,
                              kPitchY + 1);
            cell->setFrameStyle(QFrame::Box | QFrame::Plain);
            cell->setAutoFillBackground(true);
            cell->setToolTip(wellName(r, c));
            // A new grid shows nothing selected; callers fill it from a record before use.
            cell->setProperty(kTagProperty, tagText(false));
            paintCell(cell, false);
            cell->installEventFilter(this);
            lblWell[WellIndex(r, c)] = cell;
        }
    }
}

void GuiWellGrid::buildButtons() {
    const int headerWidth = kGridLeft - kHeaderLeft - 2;
    const int headerHeight = kGridTop - kHeaderTop - 2;
    cmdAllCells = headerButton(this, QStringLiteral("cmdAllCells"), QStringLiteral("All"),
                               QRect(kHeaderLeft, kHeaderTop, headerWidth, headerHeight));
    connect(cmdAllCells, &QPushButton::clicked, this, [this] { applyRule(toggleAll); });
    for (int r = 0; r < kPlateRows; ++r) {
        cmdRow[r] =
            headerButton(this, QStringLiteral("cmdRow%1").arg(r), QString(QChar(u'A' + r)),
                         QRect(kHeaderLeft, kGridTop + kPitchY * r, headerWidth, kPitchY + 1));
        connect(cmdRow[r], &QPushButton::clicked, this,
                [this, r] { applyRule([r](WellMatrix& w) { toggleRow(w, r); }); });
    }
    for (int c = 0; c < kPlateColumns; ++c) {
        cmdColumn[c] =
            headerButton(this, QStringLiteral("cmdColumn%1").arg(c), QString::number(c + 1),
                         QRect(kGridLeft + kPitchX * c, kHeaderTop, kPitchX + 1, headerHeight));
        connect(cmdColumn[c], &QPushButton::clicked, this,
                [this, c] { applyRule([c](WellMatrix& w) { toggleColumn(w, c); }); });
    }
}

void GuiWellGrid::buildLegend() {
    const int left = kGridLeft + kPitchX * kPlateColumns + kLegendGap;
    const int top = kGridTop + kPitchY;
    shpSample = new QLabel(this);
    shpSample->setObjectName(QStringLiteral("shpSample"));
    shpSample->setFrameStyle(QFrame::Box | QFrame::Plain);
    shpSample->setAutoFillBackground(true);
    QPalette p = shpSample->palette();
    p.setColor(QPalette::Window, kWellSelectedColour);
    shpSample->setPalette(p);
    shpSample->setGeometry(left, top + 2, kPitchY - 4, kPitchY - 4);
    lblSample = new QLabel(QStringLiteral("= selected"), this);
    lblSample->setObjectName(QStringLiteral("lblSample"));
    lblSample->adjustSize();
    lblSample->move(left + kPitchY, top + (kPitchY - lblSample->height()) / 2);
}

QLabel* GuiWellGrid::cell(int row, int column) const {
    return onPlate(row, column) ? lblWell[WellIndex(row, column)] : nullptr;
}

bool GuiWellGrid::SelectedWells(int row, int column) const {
    const QLabel* c = cell(row, column);
    return c && c->property(kTagProperty).toString() == u"True";
}

void GuiWellGrid::setSelectedWells(int row, int column, bool selected) {
    QLabel* c = cell(row, column);
    if (!c) return;
    c->setProperty(kTagProperty, tagText(selected));
    paintCell(c, selected);
}

WellMatrix GuiWellGrid::selection() const {
    WellMatrix wells{};
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c) wells[r][c] = SelectedWells(r, c);
    return wells;
}

void GuiWellGrid::setSelection(const WellMatrix& wells) {
    for (int r = 0; r < kPlateRows; ++r)
        for (int c = 0; c < kPlateColumns; ++c) setSelectedWells(r, c, wells[r][c]);
}

template <typename Rule>
void GuiWellGrid::applyRule(Rule rule) {
    WellMatrix wells = selection();
    rule(wells);
    setSelection(wells);
}

bool GuiWellGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease) return QWidget::eventFilter(watched, event);
    auto* cellLabel = qobject_cast<QLabel*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (!cellLabel || mouse->button() != Qt::LeftButton ||
        !cellLabel->rect().contains(mouse->position().toPoint()))
        return QWidget::eventFilter(watched, event);
    for (int i = 0; i < kWellCount; ++i) {
        if (lblWell[i] != cellLabel) continue;
        const int r = i / kPlateColumns;
        const int c = i % kPlateColumns;
        setSelectedWells(r, c, !SelectedWells(r, c));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantorix
