// A run of the program against the simulated instrument in virtual time, with a front end
// that records what the window would show and answers questions from a script.
#pragma once

#include <QTemporaryDir>
#include <deque>
#include <optional>

#include "kernel/DataPaths.h"
#include "measurement/RunSequence.h"
#include "plate/DocumentSession.h"
#include "simulator/PairHarness.h"
#include "support/TestSupport.h"

namespace vantorix::test {

struct Question {
    qint64 time_ms;
    QString text;
};

class ScriptedFrontEnd : public RunFrontEnd {
  public:
    explicit ScriptedFrontEnd(Scheduler& scheduler) : scheduler_(scheduler) {}

    QString fileAnswer;                // "" cancels the naming step
    std::deque<bool> retryAnswers;     // answers to "Communication Error"; Cancel when empty
    std::deque<bool> okAnswers;        // answers to the priming question; OK when empty
    std::deque<bool> keepAnswers;      // answers to keeping a partial dataset; No when empty
    std::function<void()> onQuestion;  // called when a question is asked, before the answer
    std::function<void()> onFinished;  // called when the run tells it has finished

    std::vector<QString> statusLines;  // every visible status text, as it changed
    std::vector<QString> messageLines;
    std::vector<QString> notices, errors;
    std::vector<QString> events;  // "begun 1 of 3", "done 1", "ended 2", as the run tells them
    std::vector<Question> questions;
    int readings[8][12] = {};  // readings received, by well
    int offPlateReadings = 0;
    int finished = 0;

    void askDataFileName(const QString&, const QString&, std::function<void(QString)> a) override {
        a(fileAnswer);
    }
    void askRetryCancel(const QString&, const QString& text, std::function<void(bool)> a) override {
        a(answer(text, retryAnswers, false));
    }
    void askOkCancel(const QString& text, std::function<void(bool)> a) override {
        a(answer(text, okAnswers, true));
    }
    void askKeepPartial(const QString& text, int, std::function<void(bool)> a) override {
        a(answer(text, keepAnswers, false));
    }
    void notify(const QString& text) override { notices.push_back(text); }
    void reportError(const QString& text) override { errors.push_back(text); }
    void setStatusLine(const QString& text, bool visible) override {
        if (visible && !text.isEmpty() && (statusLines.empty() || statusLines.back() != text))
            statusLines.push_back(text);
    }
    void setMessageLine(const QString& text, bool visible) override {
        if (visible) messageLines.push_back(text);
    }
    void datasetBegun(int set, int sets) override {
        events.push_back(QStringLiteral("begun %1 of %2").arg(set).arg(sets));
    }
    void readingReceived(int, int row, int column, const WellReading&) override {
        if (row < 1 || row > 8 || column < 1 || column > 12) {
            ++offPlateReadings;  // counted, never stored: the tests assert there are none
            return;
        }
        ++readings[row - 1][column - 1];
    }
    void datasetCompleted(int set) override {
        events.push_back(QStringLiteral("done %1").arg(set));
    }
    void measuringEnded(int sets) override {
        events.push_back(QStringLiteral("ended %1").arg(sets));
    }
    void runFinished() override {
        ++finished;
        if (onFinished) onFinished();
    }

  private:
    // Records the question, then gives the next scripted answer or the default.
    bool answer(const QString& text, std::deque<bool>& script, bool fallback) {
        questions.push_back({scheduler_.now_ms(), text});
        if (onQuestion) onQuestion();
        return nextAnswer(script, fallback);
    }
    Scheduler& scheduler_;
};

// The program and the simulated instrument on one line, with a data folder of their own.
struct RunFixture {
    explicit RunFixture(sim::SimulatorConfig config = {})
        : pair(config),
          folders{dir.path(), dir.path()},
          ui(pair.scheduler()),
          run(session, defaults, folders, pair.port(), pair.scheduler(), ui,
              [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9)); }) {
        ui.fileAnswer = dir.filePath(QStringLiteral("plate.001"));
        for (auto& row : session.runOptions().SelectedWells) row.fill(false);
        run.setJournalFolder(dir.filePath(QStringLiteral("recovery")));
    }

    void selectWells(std::initializer_list<int> wells) {
        for (int w : wells) session.runOptions().SelectedWells[w / 12][w % 12] = true;
    }
    // Starts the run and runs virtual time until it ends (or limit_ms passed).
    bool runToEnd(qint64 limit_ms = 3'600'000) {
        run.start();
        return finish(limit_ms);
    }
    // Runs virtual time until the status line reads `text` (or limit_ms passed).
    bool runUntilStatus(const QString& text, qint64 limit_ms = 600'000) {
        return pair.runUntil(
            [&] { return !ui.statusLines.empty() && ui.statusLines.back() == text; }, limit_ms);
    }
    // Runs until the run has ended, then lets the last bytes cross the line.
    bool finish(qint64 limit_ms = 3'600'000) {
        const bool ended = pair.runUntil([this] { return !run.running(); }, limit_ms);
        pair.runFor(2000);
        return ended;
    }
    // Texts the program sent, in order.
    QStringList sentLines() const {
        QStringList out;
        for (const auto& l : pair.linesFromProgram()) out << QString::fromLatin1(l.text);
        return out;
    }
    std::vector<qint64> timesOf(const QString& text) const {
        std::vector<qint64> out;
        for (const auto& l : pair.linesFromProgram())
            if (QString::fromLatin1(l.text) == text) out.push_back(l.time_ms);
        return out;
    }

    QTemporaryDir dir;
    sim::PairHarness pair;
    DocumentSession session;
    RunOptions defaults;
    DataFolders folders;
    ScriptedFrontEnd ui;
    RunSequence run;
};

}  // namespace vantorix::test
