#include "plate/DocumentSession.h"

#include <utility>

namespace vantorix {

void DocumentSession::replaceDocument(PlateDocument document) {
    if (document == document_) return;
    document_ = std::move(document);
    emit documentReplaced();
}

const WellReading& DocumentSession::setReading(int set, int row, int column,
                                               std::optional<double> raw,
                                               std::optional<double> seconds) {
    WellReading& cell = document_.dataset(set).at(row - 1, column - 1);
    if (cell.raw == raw && cell.seconds == seconds) return cell;
    cell.raw = raw;
    cell.seconds = seconds;
    emit readingsChanged();
    return cell;
}

void DocumentSession::clearSets(int sets) {
    const PlateDocument before = document_;
    for (int set = 1; set <= sets; ++set) document_.clearSet(set);
    if (document_ != before) emit readingsChanged();
}

void DocumentSession::setHeaderText(QString PlateHeader::*text, const QString& value) {
    document_.header.*text = value;
}

void DocumentSession::setPath(const QString& path) {
    if (path == path_) return;
    path_ = path;
    emit pathChanged(path_);
}

void DocumentSession::setSaved(bool saved) {
    if (saved == saved_) return;
    saved_ = saved;
    emit savedChanged(saved_);
}

void DocumentSession::setShownSet(int set) {
    if (set == shownSet_) return;
    shownSet_ = set;
    emit shownSetChanged(shownSet_);
}

void DocumentSession::setSetRange(int first, int last) {
    firstSet_ = first;
    lastSet_ = last;
}

}  // namespace vantorix
