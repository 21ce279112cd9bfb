// The spreadsheet program the export writes into, reduced to the operations the export
// performs. Every operation can fail; the export turns failures into its messages.
#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace vantorix {

// One worksheet of the workbook; rows and columns count from 1.
class SpreadsheetSheet {
  public:
    virtual ~SpreadsheetSheet() = default;
    virtual bool setText(int row, int column, const QString& text) = 0;
    virtual bool setInteger(int row, int column, qint64 value) = 0;
    virtual bool setNumber(int row, int column, double value) = 0;
};

// A running spreadsheet program holding (after addWorkbook) one new workbook.
class SpreadsheetApp {
  public:
    virtual ~SpreadsheetApp() = default;
    virtual bool setCaption(const QString& caption) = 0;
    virtual bool addWorkbook() = 0;
    virtual bool setVisible(bool visible) = 0;
    // Worksheet by 1-based index; nullptr when the workbook has no such sheet or the call
    // fails. The sheet stays valid as long as the application object.
    virtual SpreadsheetSheet* worksheet(int index) = 0;
    // Appends one worksheet to the workbook.
    virtual bool addWorksheet() = 0;
    // The export is done: hand the workbook to the user (a program that keeps the workbook
    // live has nothing to do). Not called after a failure, so a broken workbook is dropped.
    virtual bool release() = 0;
    // Why the last call failed, for logs and the command line; may be empty.
    virtual QString failureDetail() const { return {}; }
};

// Starts a spreadsheet program; nullptr when there is none or it cannot start.
using SpreadsheetFactory = std::function<std::unique_ptr<SpreadsheetApp>()>;

}  // namespace vantorix
