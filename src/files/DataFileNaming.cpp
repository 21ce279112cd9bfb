#include "files/DataFileNaming.h"

#include "frame/ProgramState.h"
#include "frame/Text.h"

namespace vantorix {

void NextDataFileTitle(ProgramState& s) {
    const qsizetype dot = s.DataFileTitle.indexOf(u'.');
    if (dot < 0) return;
    const QStringView extension = QStringView(s.DataFileTitle).mid(dot + 1);
    if (!isNumeric(extension)) return;
    double n = leadingNumber(extension) + 1;
    if (n > 999 || n < 1) n = 1;
    s.DataFileTitle = s.DataFileTitle.left(dot + 1) + formatFixed(n, 3, 0);
}

WriteResult SaveDocument(ProgramState& s, const QDateTime& now) {
    WriteResult result = WriteDataFile(s, now);
    if (result.ok) s.Saved = true;
    return result;
}

}  // namespace vantorix
