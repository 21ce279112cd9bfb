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
    std::function<void()> done;
};

void offerNext(std::shared_ptr<Offer> o);

void recoverTo(std::shared_ptr<Offer> o, const QString& journal, const QString& path) {
    if (path.isEmpty()) {  // no name given: the journal stays and is offered next time
        offerNext(o);
        return;
    }
    const RecoveryResult r = recoverJournal(journal, path);
    QString text = r.written.ok ? QStringLiteral("The run was recovered to %1.")
                                      .arg(QDir::toNativeSeparators(withOvdExtension(path)))
                                : r.written.error;
    if (!r.contents.note.isEmpty()) text += QStringLiteral("\n") + r.contents.note + u'.';
    if (!r.keptAs.isEmpty())
        text += QStringLiteral("\nThe journal is kept for inspection as %1.")
                    .arg(QDir::toNativeSeparators(r.keptAs));
    if (r.written.ok)
        o->dialogs.inform(o->parent, text);
    else
        o->dialogs.warn(o->parent, text);
    offerNext(o);
}

void offerNext(std::shared_ptr<Offer> o) {
    if (o->journals.isEmpty() || !o->parent) {
        if (o->done) o->done();
        return;
    }
    const QString journal = o->journals.takeFirst();
    ProgramState s;
    const JournalContents c = readJournal(journal, s);
    if (!c.ok || c.readings == 0) {
        offerNext(o);
        return;
    }
    o->dialogs.askYesNo(o->parent, recoveryQuestion(c), [o, journal, c](bool yes) {
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
                   const QString& dataFolder, std::function<void()> done) {
    auto o = std::make_shared<Offer>(
        Offer{parent, dialogs, dataFolder, interruptedJournals(journalFolder), std::move(done)});
    offerNext(o);
}

}  // namespace vantorix
