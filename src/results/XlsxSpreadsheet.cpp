#include "results/XlsxSpreadsheet.h"

#include <xlsxwriter.h>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace vantorix {

namespace {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

class XlsxApp;

// The file format reads "_xHHHH_" in a text as the character HHHH; a literal one is kept by
// escaping its "_" as "_x005F_", so the cell reads back exactly as written.
QString escapeLiteralEscapes(const QString& text) {
    static const QRegularExpression start(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x"))) return text;
    return QString(text).replace(start, QStringLiteral("_x005F_"));
}

class XlsxSheet : public SpreadsheetSheet {
  public:
    XlsxSheet(XlsxApp& app, lxw_worksheet* sheet) : app_(app), sheet_(sheet) {}
    bool setText(int row, int column, const QString& text) override;
    bool setInteger(int row, int column, qint64 value) override {
        return setNumber(row, column, static_cast<double>(value));
    }
    bool setNumber(int row, int column, double value) override;

  private:
    bool inRange(int row, int column);
    XlsxApp& app_;
    lxw_worksheet* sheet_;
};

class XlsxApp : public SpreadsheetApp {
  public:
    XlsxApp(QString outputPath, WorkbookViewer* viewer)
        : outputPath_(std::move(outputPath)), viewer_(viewer) {}
    ~XlsxApp() override {
        // Dropped without release: discard the workbook; the temporary file goes with tmp_.
        if (workbook_) lxw_workbook_free(workbook_);
    }

    bool setCaption(const QString&) override { return true; }
    bool addWorkbook() override;
    // The workbook becomes visible when release() opens the written file.
    bool setVisible(bool) override { return workbook_ != nullptr; }
    SpreadsheetSheet* worksheet(int index) override {
        if (index < 1 || index > static_cast<int>(sheets_.size())) return nullptr;
        return sheets_[index - 1].get();
    }
    bool addWorksheet() override;
    bool release() override;
    QString failureDetail() const override { return detail_; }

    bool check(lxw_error error) {
        if (error == LXW_NO_ERROR) return true;
        return fail(QString::fromUtf8(lxw_strerror(error)));
    }
    bool fail(const QString& detail) {
        detail_ = detail;
        return false;
    }

  private:
    bool moveIntoPlace();

    QString outputPath_;
    WorkbookViewer* viewer_;
    std::unique_ptr<QTemporaryFile> tmp_;
    lxw_workbook* workbook_ = nullptr;
    std::vector<std::unique_ptr<XlsxSheet>> sheets_;
    QString detail_;
};

bool XlsxSheet::inRange(int row, int column) {
    if (row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns) return true;
    return app_.fail(QStringLiteral("cell (%1, %2) is outside the worksheet").arg(row).arg(column));
}

bool XlsxSheet::setText(int row, int column, const QString& text) {
    if (!inRange(row, column)) return false;
    // The library ignores an empty text without a format; the cell stays empty either way.
    const QByteArray utf8 = escapeLiteralEscapes(text).toUtf8();
    return app_.check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row - 1),
                                             static_cast<lxw_col_t>(column - 1), utf8.constData(),
                                             nullptr));
}

bool XlsxSheet::setNumber(int row, int column, double value) {
    if (!inRange(row, column)) return false;
    // The file format has no infinities or NaN; writing one would corrupt the workbook.
    if (!std::isfinite(value)) return app_.fail(QStringLiteral("not a finite number"));
    return app_.check(worksheet_write_number(sheet_, static_cast<lxw_row_t>(row - 1),
                                             static_cast<lxw_col_t>(column - 1), value, nullptr));
}

bool XlsxApp::addWorkbook() {
    if (workbook_) return fail(QStringLiteral("the workbook is already open"));
    // The workbook is written next to its destination and renamed over it once complete.
    const QFileInfo out(outputPath_);
    tmp_ = std::make_unique<QTemporaryFile>(out.absolutePath() + QStringLiteral("/.") +
                                            out.fileName() + QStringLiteral(".XXXXXX"));
    if (!tmp_->open())
        return fail(QStringLiteral("cannot create a file in %1: %2")
                        .arg(out.absolutePath(), tmp_->errorString()));
    tmp_->close();
    workbook_ = workbook_new(QFile::encodeName(tmp_->fileName()).constData());
    if (!workbook_) return fail(QStringLiteral("cannot create the workbook"));
    // A new workbook has one sheet, as in current spreadsheet programs.
    return addWorksheet();
}

bool XlsxApp::addWorksheet() {
    if (!workbook_) return fail(QStringLiteral("no workbook"));
    lxw_worksheet* sheet = workbook_add_worksheet(workbook_, nullptr);
    if (!sheet) return fail(QStringLiteral("cannot add a worksheet"));
    sheets_.push_back(std::make_unique<XlsxSheet>(*this, sheet));
    return true;
}

bool XlsxApp::moveIntoPlace() {
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(tmp_->fileName()).toStdString(),
                            QFile::encodeName(outputPath_).toStdString(), error);
    if (!error) return true;
    return fail(QStringLiteral("cannot write %1: %2")
                    .arg(outputPath_, QString::fromLocal8Bit(error.message().c_str())));
}

bool XlsxApp::release() {
    if (!workbook_) return fail(QStringLiteral("no workbook"));
    lxw_workbook* workbook = std::exchange(workbook_, nullptr);
    sheets_.clear();
    // workbook_close frees the workbook whatever its result.
    if (!check(workbook_close(workbook))) return false;
    // The temporary file is private to its owner; the workbook is an ordinary user file.
    tmp_->setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                         QFile::ReadOther);
    if (!moveIntoPlace()) return false;
    if (viewer_ && !viewer_->open(outputPath_))
        return fail(QStringLiteral("no program opened %1").arg(outputPath_));
    return true;
}

}  // namespace

SpreadsheetFactory xlsxSpreadsheet(const QString& outputPath, WorkbookViewer* viewer) {
    return [outputPath, viewer]() -> std::unique_ptr<SpreadsheetApp> {
        if (viewer && !viewer->available()) return nullptr;
        return std::make_unique<XlsxApp>(outputPath, viewer);
    };
}

}  // namespace vantorix
