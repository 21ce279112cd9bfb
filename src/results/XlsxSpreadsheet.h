// The spreadsheet backend of the export: builds the workbook in memory, writes it as an .xlsx
// file with libxlsxwriter when the export releases it and, when a viewer is given, hands the
// file to the desktop's spreadsheet program.
#pragma once

#include <QString>
#include <memory>

#include "results/ExportSpreadsheet.h"

namespace vantorix {

// Opens a written workbook in the desktop's spreadsheet program. The desktop program supplies
// it (core has no access to the desktop).
class WorkbookViewer {
  public:
    virtual ~WorkbookViewer() = default;
    // True when some program is registered to open .xlsx files.
    virtual bool available() const = 0;
    virtual bool open(const QString& path) = 0;
};

// Starts the backend. The workbook goes to outputPath (replaced atomically, so a failed
// export never leaves a half-written file there); with a viewer, the file is then opened.
// Returns nullptr, the export's "not found", when a viewer is given but has no program.
SpreadsheetFactory xlsxSpreadsheet(const QString& outputPath, WorkbookViewer* viewer = nullptr);

}  // namespace vantorix
