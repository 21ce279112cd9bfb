// Opens an exported workbook in the desktop's program for .xlsx files.
#pragma once

#include "results/XlsxSpreadsheet.h"

namespace vantorix {

class DesktopWorkbookViewer : public WorkbookViewer {
  public:
    // True when the desktop has a way to open files (a URL handler).
    bool available() const override;
    bool open(const QString& path) override;
};

}  // namespace vantorix
