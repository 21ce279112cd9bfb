// Opens an exported workbook in the desktop's program for .xlsx files.
#pragma once

#include <QString>
#include <functional>

#include "results/XlsxSpreadsheet.h"

class QObject;

namespace vantorix {

class DesktopWorkbookViewer : public WorkbookViewer {
  public:
    // Where the desktop's opener is a program of its own (xdg-open), whether it found a
    // program for the file is only known once it exits: `failed` then gets the file's path,
    // from the event loop. The opener is stopped when `owner` goes.
    explicit DesktopWorkbookViewer(QObject* owner = nullptr,
                                   std::function<void(const QString& path)> failed = {});
    // True when the desktop has a way to open files (a URL handler).
    bool available() const override;
    bool open(const QString& path) override;

  private:
    QObject* owner_;
    std::function<void(const QString&)> failed_;
};

}  // namespace vantorix
