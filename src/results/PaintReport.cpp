#include "results/PaintReport.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "analysis/PaintAnalysisPage.h"
#include "analysis/PaintFont.h"
#include "files/RecoveredNote.h"
#include "kernel/ProgramVersion.h"
#include "kernel/Text.h"
#include "plate/PlateDocument.h"
#include "results/CellText.h"
#include "results/PaintHeatMap.h"
#include "results/SetStatistics.h"

namespace vantorix {

namespace {

constexpr int kDpi = 144;
const QColor kInk(30, 30, 30);
const QColor kRule(170, 170, 170);

// A header line shows far fewer characters than this; laying out a field of megabytes would
// take hundreds of megabytes of glyphs, so no more of it is drawn.
constexpr qsizetype kMaxFieldChars = 400;

QString fieldText(const QString& text) {
    if (text.size() <= kMaxFieldChars) return text;
    return text.left(kMaxFieldChars) + QChar(0x2026);
}

class ReportPainter {
  public:
    ReportPainter(const ReportSource& source, QPdfWriter& writer)
        : s_(source), writer_(writer), p_(&writer) {
        page_ = QRectF(0, 0, writer.width(), writer.height());
        line_ = kDpi * 0.2;
        selected_ = documentSelection(s_.document, s_.sets);
        scale_ = HeatScale::forSets(s_.document, 1, s_.sets);
    }

    void paint() {
        const int setPages = std::max(s_.sets, 1);
        const std::vector<DatasetAnalysis> analyses = analysesToPrint();
        const QRectF body(0, 0, page_.width(), page_.height() - line_ * 1.5);
        int pages = setPages;
        for (const DatasetAnalysis& a : analyses) pages += analysisPageCount(a, body, line_);
        for (int page = 1; page <= setPages; ++page) {
            if (page > 1) writer_.newPage();
            double y = 0;
            if (page == 1) y = paintHeader();
            if (s_.sets >= 1) paintSet(page, y);
            paintFooter(page, pages);
        }
        int page = setPages;
        for (const DatasetAnalysis& a : analyses) {
            const AnalysisPageSource source{a, s_.analysis->layout, s_.analysis->settings,
                                            s_.analysis->concentrationUnit};
            for (int i = 0; i < analysisPageCount(a, body, line_); ++i) {
                writer_.newPage();
                paintAnalysisPage(p_, body, line_, source, i);
                paintFooter(++page, pages);
            }
        }
    }

  private:
    std::vector<DatasetAnalysis> analysesToPrint() const {
        std::vector<DatasetAnalysis> out;
        const ReportAnalysis* a = s_.analysis;
        if (!a || a->layout.isEmpty()) return out;
        for (int set = 1; set <= a->document.setCount(); ++set)
            if (a->onlySet == 0 || a->onlySet == set)
                out.push_back(analyzeDataset(a->document.datasets[size_t(set - 1)], a->layout,
                                             a->settings, set));
        return out;
    }

    double paintHeader() {
        p_.setPen(kInk);
        p_.setFont(pointFont(16, true));
        p_.drawText(QRectF(0, 0, page_.width(), line_ * 1.8), Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Plate report: ") + fieldText(s_.documentName));
        // The program's one date form, as in the footer: "2026-12-06", "15:04:05".
        const PlateHeader& h = s_.document.header;
        const QString date = fieldText(h.dateText), time = fieldText(h.timeText);
        const QString when = headerDateTimeText(date, time);
        const bool parsed = when.size() == 19 && when[10] == u' ';
        const QString notes = fieldText(h.notes);
        const QString recovered = recoveredNoteIn(notes);
        const QString fields[][2] = {
            {QStringLiteral("Date:"), parsed ? when.left(10) : date},
            {QStringLiteral("Time:"), parsed ? when.mid(11) : time},
            {QStringLiteral("Operator:"), fieldText(h.operatorName)},
            {QStringLiteral("Plate No:"), fieldText(h.plateNo)},
            {QStringLiteral("Test:"), fieldText(h.test)},
            {QStringLiteral("Notes:"), notes},
            {QStringLiteral("Extra Sensitivity:"), fieldText(h.sensitivityText)},
            {QStringLiteral("Sets:"), recovered.isEmpty()
                                          ? QString::number(s_.sets)
                                          : QStringLiteral("%1 %2").arg(s_.sets).arg(recovered)},
            {QStringLiteral("Wells read:"), formatWellList(selected_)},
            {QStringLiteral("Firmware:"), fieldText(s_.document.firmwareVersion)},
        };
        double y = line_ * 2.2;
        const double labelWidth = kDpi * 1.5;
        for (const auto& field : fields) {
            p_.setFont(pointFont(10, true));
            p_.drawText(QRectF(0, y, labelWidth, line_), Qt::AlignLeft | Qt::AlignVCenter,
                        field[0]);
            p_.setFont(pointFont(10));
            // A long text ends in an ellipsis at the right margin.
            const double width = page_.width() - labelWidth;
            const QString text =
                QFontMetricsF(p_.font(), &writer_).elidedText(field[1], Qt::ElideRight, width);
            p_.drawText(QRectF(labelWidth, y, width, line_),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            y += line_;
        }
        y += line_ * 0.5;
        p_.setPen(kRule);
        p_.drawLine(QPointF(0, y), QPointF(page_.width(), y));
        return y + line_ * 0.5;
    }

    void paintSet(int set, double top) {
        const double bottom = page_.height() - line_ * 2;
        const double tableHeight = line_ * 9.5;
        const double statsHeight = line_ * 2;
        const double mapHeight =
            std::min(page_.width() * 0.68, bottom - top - tableHeight - statsHeight - line_);
        const QString title = QStringLiteral("Set %1 of %2").arg(set).arg(s_.sets);
        paintHeatMap(p_, QRectF(0, top, page_.width(), mapHeight),
                     heatMapPicture(s_.document, set, selected_, true, scale_, title));
        double y = top + mapHeight + line_ * 0.5;
        y = paintValueTable(set, y);
        p_.setPen(kInk);
        p_.setFont(pointFont(10, true));
        p_.drawText(QRectF(0, y, page_.width(), line_), Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Figures of set %1 (values in %2):")
                        .arg(set)
                        .arg(QLatin1String(kValueUnitLong)));
        p_.setFont(pointFont(10));
        p_.drawText(QRectF(0, y + line_, page_.width(), line_), Qt::AlignLeft | Qt::AlignVCenter,
                    statisticsText(setStatistics(s_.document, set)));
    }

    double paintValueTable(int set, double top) {
        const double headerWidth = kDpi * 0.3;
        const double cellWidth = (page_.width() - headerWidth) / kPlateColumns;
        p_.setPen(kInk);
        p_.setFont(pointFont(8, true));
        for (int c = 0; c < kPlateColumns; ++c)
            p_.drawText(QRectF(headerWidth + c * cellWidth, top, cellWidth, line_), Qt::AlignCenter,
                        QString::number(c + 1));
        const QString setsText = QString::number(s_.sets);
        for (int r = 0; r < kPlateRows; ++r) {
            const double y = top + line_ * (r + 1);
            p_.setFont(pointFont(8, true));
            p_.drawText(QRectF(0, y, headerWidth, line_), Qt::AlignCenter,
                        QString(QChar(u'A' + r)));
            p_.setFont(pointFont(6.5));
            for (int c = 0; c < kPlateColumns; ++c) {
                const double raw = s_.document.reading(set, r + 1, c + 1).raw.value_or(-1);
                QString text = raw > kSaturationLimit ? QStringLiteral("sat")
                               : raw >= 0             ? plainReadingText(raw)
                               : selected_[r][c]      ? QStringLiteral("X")
                                                      : QString();
                p_.drawText(QRectF(headerWidth + c * cellWidth, y, cellWidth, line_),
                            Qt::AlignCenter, text);
            }
        }
        p_.setPen(kRule);
        for (int r = 0; r <= 9; r += 9)
            p_.drawLine(QPointF(0, top + line_ * r), QPointF(page_.width(), top + line_ * r));
        return top + line_ * 9.5;
    }

    void paintFooter(int page, int pages) {
        const QRectF footer(0, page_.height() - line_, page_.width(), line_);
        p_.setPen(kRule);
        p_.drawLine(footer.topLeft(), footer.topRight());
        p_.setPen(kInk);
        p_.setFont(pointFont(8));
        p_.drawText(
            footer, Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("Generated %1 by the Vantorix program %2")
                .arg(s_.generated.toString(QLatin1String(kDateTimeForm)), ProgramVersion().text()));
        p_.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }

    const ReportSource& s_;
    QPdfWriter& writer_;
    QPainter p_;
    QRectF page_;
    double line_ = 0;
    WellMatrix selected_{};
    HeatScale scale_;
};

}  // namespace

QString WriteReport(const ReportSource& source, const QString& path) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("Plate report: ") + fieldText(source.documentName));
        writer.setCreator(QStringLiteral("Vantorix ") + ProgramVersion().text());
        ReportPainter(source, writer).paint();
    }
    if (bytes.isEmpty()) return QStringLiteral("cannot write %1: the report is empty").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

}  // namespace vantorix
