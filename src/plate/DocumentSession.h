// The open document and what the desktop knows about it: its file, whether it is saved, whether
// it holds readings and may be edited, the set shown and the sets it holds. There is one; the
// run writes into it and the windows follow its signals, sent only on a real change.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "kernel/RunOptions.h"
#include "plate/PlateDocument.h"

namespace vantorix {

class DocumentSession : public QObject {
    Q_OBJECT
  public:
    explicit DocumentSession(QObject* parent = nullptr) : QObject(parent) {}

    // The last data file opened, or the run's readings as they arrive (set n is datasets[n - 1];
    // sets past the run keep the previous document's).
    const PlateDocument& document() const { return document_; }
    void replaceDocument(PlateDocument document);
    // The reading of well (row 1-8, column 1-12) as the instrument sent it, the set grown to it.
    const WellReading& setReading(int set, int row, int column, std::optional<double> raw,
                                  std::optional<double> seconds);
    // Empties sets 1..sets before a run measures them.
    void clearSets(int sets);
    // The header texts are typed in the window that shows them: no signal.
    void setHeaderText(QString PlateHeader::*text, const QString& value);
    void setFirmwareVersion(const QString& version) { document_.firmwareVersion = version; }

    // The options of the measurement window's run: the next run's, then the last run's. The
    // options dialog edits them in place.
    const RunOptions& runOptions() const { return runOptions_; }
    RunOptions& runOptions() { return runOptions_; }

    const QString& path() const { return path_; }
    void setPath(const QString& path);
    bool saved() const { return saved_; }
    void setSaved(bool saved);
    bool hasData() const { return hasData_; }
    void setHasData(bool hasData) { hasData_ = hasData; }
    bool canEdit() const { return canEdit_; }
    void setCanEdit(bool canEdit) { canEdit_ = canEdit; }

    int shownSet() const { return shownSet_; }
    void setShownSet(int set);
    // The sets the window offers, and the sets the document's file holds (the writer's range).
    int setCount() const { return setCount_; }
    void setSetCount(int count) { setCount_ = count; }
    int firstSet() const { return firstSet_; }
    int lastSet() const { return lastSet_; }
    void setSetRange(int first, int last);

  signals:
    void documentReplaced();
    void readingsChanged();
    void shownSetChanged(int set);
    void savedChanged(bool saved);
    void pathChanged(const QString& path);

  private:
    PlateDocument document_;
    RunOptions runOptions_;
    QString path_;
    bool saved_ = false;
    bool hasData_ = false;
    bool canEdit_ = false;
    int shownSet_ = 1;
    int setCount_ = 0;
    int firstSet_ = 1;
    int lastSet_ = 1;
};

}  // namespace vantorix
