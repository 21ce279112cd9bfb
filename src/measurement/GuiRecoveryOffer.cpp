#include "measurement/GuiRecoveryOffer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

#include "files/DataFileNaming.h"
#include "measurement/RunRecovery.h"
#include "ui/GuiDialogs.h"

namespace vantorix {

namespace {

struct Offer {
    QPointer<QWidget> parent;
    Dialogs& dialogs;
    QString dataFolder;
    QStringList journals;
    std::function<void(const QString&)> open;
    std::function<void()> done;
};

void offerNext(std::shared_ptr<Offer> o);

void recoverTo(std::shared_ptr<Offer> o, const QString& journal, const QString& path) {
    if (path.isEmpty()) {  // no name given: the journal stays and is offered next time
        offerNext(o);
        return;
    }
    const RecoveryResult r = recoverJournal(journal, path);
    const QString file = withOvdExtension(path);
    QString text =
        r.written.ok
            ? QStringLiteral("The run was recovered to %1.").arg(QDir::toNativeSeparators(file))
            : r.written.error;
    const JournalContents& c = r.contents;
    if (r.written.ok && c.completedSets < std::max(c.intendedSets, c.datasets))
        text += QStringLiteral("\nIt is incomplete: %1 of %2 sets complete.")
                    .arg(c.completedSets)
                    .arg(std::max(c.intendedSets, c.datasets));
    if (!c.note.isEmpty()) text += QStringLiteral("\n") + c.note + u'.';
    if (!r.keptAs.isEmpty())
        text += QStringLiteral("\nThe journal is kept for inspection as %1.")
                    .arg(QDir::toNativeSeparators(r.keptAs));
    if (r.written.ok) {
        o->dialogs.inform(o->parent, text);
        if (o->open) o->open(file);
    } else {
        o->dialogs.warn(o->parent, text);
    }
    offerNext(o);
}

void offerNext(std::shared_ptr<Offer> o) {
    if (o->journals.isEmpty() || !o->parent) {
        if (o->done) o->done();
        return;
    }
    const QString journal = o->journals.takeFirst();
    PlateDocument d;
    const JournalContents c = readJournal(journal, d);
    if (!c.ok || c.readings == 0) {
        offerNext(o);
        return;
    }
    const QString run = runDescription(d.header);
    const QString question =
        run.isEmpty() ? recoveryQuestion(c)
                      : QStringLiteral("%1\n\nThe run: %2.").arg(recoveryQuestion(c), run);
    o->dialogs.askYesNo(o->parent, question, [o, journal, c](bool yes) {
        if (!yes) {
            QFile::rename(journal, journal + QStringLiteral(".declined"));
            offerNext(o);
            return;
        }
        const QString title = c.targetFile.isEmpty() ? QStringLiteral("Recovered")
                                                     : QFileInfo(c.targetFile).fileName();
        o->dialogs.askDataFileName(
            o->parent, freeDataFileTitle(title, o->dataFolder), o->dataFolder,
            [o, journal](const QString& path) { recoverTo(o, journal, path); });
    });
}

}  // namespace

void offerRecovery(QWidget* parent, Dialogs& dialogs, const QString& journalFolder,
                   const QString& dataFolder, std::function<void()> done,
                   std::function<void(const QString& path)> open) {
    auto o = std::make_shared<Offer>(Offer{parent, dialogs, dataFolder,
                                           interruptedJournals(journalFolder), std::move(open),
                                           std::move(done)});
    offerNext(o);
}

}  // namespace vantorix
