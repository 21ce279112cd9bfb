// Dialogs with scripted answers for widget tests: every question is recorded and answered at
// once, so no test ever waits on a modal box.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <deque>

#include "support/TestSupport.h"
#include "ui/GuiDialogs.h"

namespace vantorix::test {

class ScriptedDialogs : public Dialogs {
  public:
    struct Asked {
        QString kind;  // "file", "workbook", "retry", "okcancel", "yesno", "yesnocancel", "choice",
                       // "inform", "warn"
        QString text;
    };

    // File names: the folder chosen by the user; "" answers as a cancelled dialog.
    QString fileFolder;
    std::deque<QString> fileAnswers;             // used first; then fileFolder + proposed title
    std::deque<bool> yesNoAnswers;               // default: yes
    std::deque<YesNoCancel> yesNoCancelAnswers;  // default: cancel
    std::deque<int> choiceAnswers;               // default: the last button
    bool retryAnswer = false;
    bool okAnswer = true;
    std::vector<Asked> asked;

    QStringList texts(const QString& kind) const {
        QStringList out;
        for (const Asked& a : asked)
            if (a.kind == kind) out << a.text;
        return out;
    }

    void askDataFileName(QWidget*, const QString& proposedTitle, const QString& folder,
                         std::function<void(QString)> answer) override {
        asked.push_back({QStringLiteral("file"), proposedTitle + QStringLiteral(" in ") + folder});
        if (!fileAnswers.empty()) return answer(nextAnswer(fileAnswers, QString()));
        QString name = proposedTitle;
        if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".ovd");
        answer(QDir(fileFolder.isEmpty() ? folder : fileFolder).filePath(name));
    }
    void askWorkbookFileName(QWidget*, const QString& proposedPath,
                             std::function<void(QString)> answer) override {
        asked.push_back({QStringLiteral("workbook"), proposedPath});
        QString path = QDir(fileFolder).filePath(QFileInfo(proposedPath).fileName());
        if (!fileAnswers.empty()) {
            path = fileAnswers.front();
            fileAnswers.pop_front();
        } else if (fileFolder.isEmpty()) {
            path = proposedPath;
        }
        answer(path);
    }
    void askRetryCancel(QWidget*, const QString&, const QString& text,
                        std::function<void(bool)> answer) override {
        asked.push_back({QStringLiteral("retry"), text});
        answer(retryAnswer);
    }
    void askOkCancel(QWidget*, const QString& text, std::function<void(bool)> answer) override {
        asked.push_back({QStringLiteral("okcancel"), text});
        answer(okAnswer);
    }
    void askYesNo(QWidget*, const QString& text, std::function<void(bool)> answer) override {
        asked.push_back({QStringLiteral("yesno"), text});
        answer(nextAnswer(yesNoAnswers, true));
    }
    void askYesNoCancel(QWidget*, const QString& text,
                        std::function<void(YesNoCancel)> answer) override {
        asked.push_back({QStringLiteral("yesnocancel"), text});
        answer(nextAnswer(yesNoCancelAnswers, YesNoCancel::Cancel));
    }
    void askChoice(QWidget*, const QString& text, const QStringList& buttons,
                   std::function<void(int)> answer) override {
        asked.push_back({QStringLiteral("choice"), text + QStringLiteral("\n[") +
                                                       buttons.join(QStringLiteral("|")) +
                                                       QStringLiteral("]")});
        answer(nextAnswer(choiceAnswers, int(buttons.size()) - 1));
    }
    void inform(QWidget*, const QString& text) override {
        asked.push_back({QStringLiteral("inform"), text});
    }
    void warn(QWidget*, const QString& text) override {
        asked.push_back({QStringLiteral("warn"), text});
    }
};

}  // namespace vantorix::test
