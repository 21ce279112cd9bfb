#include "analysis/PaintAnalysisPage.h"

#include <QPainter>

#include "analysis/AnalysisRows.h"
#include "analysis/PaintCurvePlot.h"
#include "analysis/PaintFont.h"
#include "analysis/PaintLayoutPlate.h"

namespace vantorix {

namespace {

const QColor kInk(30, 30, 30);
const QColor kRule(170, 170, 170);
const QColor kPass(0, 109, 44);
const QColor kFail(176, 0, 32);
constexpr double kRowShare = 0.75;  // a table row's height, in body lines
// Shares of the page's width the table's columns take, in their order.
constexpr double kColumnShares[] = {0.05, 0.08, 0.12, 0.09, 0.09, 0.09, 0.08, 0.08, 0.12, 0.20};

double picturesHeight(const QRectF& page) {
    return std::min(page.width() * 0.36, page.height() * 0.32);
}

int verdictLineCount(const DatasetAnalysis& a) {
    return 1 + int(verdictLines(a, AnalysisSettings{}).size());
}

// Where the table starts on the set's first page.
double firstTableTop(const DatasetAnalysis& a, const QRectF& page, double line) {
    return page.top() + line * 1.6 + picturesHeight(page) + line * 0.5 +
           line * verdictLineCount(a) + line * 0.5;
}

int rowsFrom(double top, const QRectF& page, double line) {
    return std::max(1, int((page.bottom() - top) / (line * kRowShare)) - 1);
}

double paintTable(QPainter& p, const QRectF& page, double top, double line,
                  const std::vector<WellResult>& wells, size_t from, size_t count) {
    const double row = line * kRowShare;
    const auto cells = [&](const QStringList& texts, double y, bool bold) {
        p.setFont(pointFont(7, bold));
        double x = page.left();
        for (qsizetype c = 0; c < texts.size(); ++c) {
            const double w = page.width() * kColumnShares[c];
            const bool number = c >= 3 && c <= 8;
            // The flags stand apart from the concentrations before them.
            const double pad = c == texts.size() - 1 ? 12 : 2;
            p.drawText(QRectF(x + pad, y, w - pad - 2, row),
                       (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                       p.fontMetrics().elidedText(texts[c], Qt::ElideRight, int(w - pad - 2)));
            x += w;
        }
    };
    p.setPen(kInk);
    cells(analysisColumnTitles(), top, true);
    p.setPen(kRule);
    p.drawLine(QPointF(page.left(), top + row), QPointF(page.right(), top + row));
    p.setPen(kInk);
    double y = top + row;
    for (size_t i = from; i < std::min(wells.size(), from + count); ++i, y += row)
        cells(analysisRowTexts(wells[i]), y, false);
    return y;
}

double paintVerdict(QPainter& p, const QRectF& page, double top, double line,
                    const AnalysisPageSource& s) {
    p.setFont(pointFont(11, true));
    p.setPen(s.analysis.quality.pass ? kPass : kFail);
    p.drawText(QRectF(page.left(), top, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Plate QC: ") + verdictText(s.analysis));
    p.setPen(kInk);
    double y = top + line;
    const std::vector<VerdictLine> lines = verdictLines(s.analysis, s.settings);
    p.setFont(pointFont(9, true));
    double captionWidth = 0;
    for (const VerdictLine& v : lines)
        captionWidth = std::max(captionWidth, p.fontMetrics().horizontalAdvance(v.caption) + line);
    for (const VerdictLine& v : lines) {
        p.setFont(pointFont(9, true));
        p.drawText(QRectF(page.left(), y, captionWidth, line), Qt::AlignLeft | Qt::AlignVCenter,
                   v.caption);
        p.setFont(pointFont(9));
        p.drawText(
            QRectF(page.left() + captionWidth, y, page.width() - captionWidth, line),
            Qt::AlignLeft | Qt::AlignVCenter,
            p.fontMetrics().elidedText(v.text, Qt::ElideRight, int(page.width() - captionWidth)));
        y += line;
    }
    return y;
}

}  // namespace

int analysisPageCount(const DatasetAnalysis& a, const QRectF& page, double line) {
    const size_t first = size_t(rowsFrom(firstTableTop(a, page, line), page, line));
    if (a.wells.size() <= first) return 1;
    const size_t more = size_t(rowsFrom(page.top(), page, line));
    return 1 + int((a.wells.size() - first + more - 1) / more);
}

void paintAnalysisPage(QPainter& p, const QRectF& page, double line, const AnalysisPageSource& s,
                       int index) {
    const DatasetAnalysis& a = s.analysis;
    const size_t first = size_t(rowsFrom(firstTableTop(a, page, line), page, line));
    const size_t more = size_t(rowsFrom(page.top(), page, line));
    p.save();
    if (index > 0) {
        const size_t from = first + size_t(index - 1) * more;
        paintTable(p, page, page.top(), line, a.wells, from, more);
        p.restore();
        return;
    }
    p.setPen(kInk);
    p.setFont(pointFont(14, true));
    p.drawText(QRectF(page.left(), page.top(), page.width(), line * 1.4),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Analysis of set %1").arg(a.set));
    const double top = page.top() + line * 1.6;
    const double height = picturesHeight(page);
    paintLayoutPlate(p, QRectF(page.left(), top, page.width() * 0.46, height), s.layout);
    paintCurvePlot(p, QRectF(page.left() + page.width() * 0.5, top, page.width() * 0.5, height), a,
                   s.settings.model, s.concentrationUnit);
    paintVerdict(p, page, top + height + line * 0.5, line, s);
    paintTable(p, page, firstTableTop(a, page, line), line, a.wells, 0, first);
    p.restore();
}

}  // namespace vantorix
