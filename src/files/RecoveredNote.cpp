#include "files/RecoveredNote.h"

#include <QRegularExpression>

namespace vantorix {

QString recoveredNote(int completedSets, int intendedSets) {
    return QStringLiteral("[Recovered%1 run: %2 of %3 sets complete]")
        .arg(completedSets < intendedSets ? QStringLiteral(", incomplete") : QString())
        .arg(completedSets)
        .arg(intendedSets);
}

QString recoveredNoteIn(const QString& notes) {
    static const QRegularExpression note(
        QStringLiteral("^\\[Recovered(, incomplete)? run: \\d+ of \\d+ sets complete\\]"));
    return note.match(notes).captured(0);
}

bool recoveredIncomplete(const QString& note) {
    return note.startsWith(QLatin1String("[Recovered, incomplete"));
}

}  // namespace vantorix
