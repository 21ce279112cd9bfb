// The run's course once the file is named: the handshake, the window made ready, the priming
// question, then one options block and one dataset per repeat with the delays between them.
#include <QCoreApplication>

#include "kernel/Text.h"
#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/RunTexts.h"

namespace vantorix {

using Kind = ConversationOutput::Kind;

Task<> InstrumentConversation::top(bool reception) {
    try {
        if (reception) {
            state_.RunActive = true;
            state_.RunStopped = false;
            state_.RunSet = state_.FirstSet = state_.LastSet = 1;
            state_.document.clearSet(1);
            state_.RunSetsCleared = true;
            beginDataset();
            enterPhase(RunPhase::Waiting);
            const bool received = co_await awaitDataset();
            if (received) datasetDone();
            end_.kind = ConversationEnd::Kind::Datasets;
            end_.completed = received ? 1 : 0;
        } else {
            co_await converse();
        }
    } catch (const std::exception& e) {
        end_.error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        end_.error = QStringLiteral("unexpected error");
    }
    ended_ = true;
    waiter_ = {};
    asker_ = {};
    put(Kind::Ended);
}

Task<> InstrumentConversation::converse() {
    state_.RunActive = true;
    state_.RunSetsCleared = false;
    put(Kind::StatusLine, QString(), true);
    runStarted_ms_ = now_ms_;
    enterPhase(RunPhase::Handshake);
    const bool ready = co_await handshake();
    if (!ready) {
        end_.kind = ConversationEnd::Kind::NotReady;
        co_return;
    }
    if (!state_.RunActive) {
        stopEarly();
        co_return;
    }
    prepareWindow();
    if (!state_.RunActive) {
        stopEarly();
        co_return;
    }
    const RunOptions& o = state_.CurrentOptions;
    if (o.Reaction == kReactionFlash && o.Prime1 > 0) {
        const bool primed = co_await ask(RunQuestion::Priming, QString::fromLatin1(kPrimingText));
        if (!primed) {
            end_.kind = ConversationEnd::Kind::PrimingRefused;
            co_return;
        }
    }
    flush();
    put(Kind::OptionsLocked);
    state_.OperatorName = state_.Operator;
    co_await runDatasets();
}

void InstrumentConversation::stopEarly() {
    send(QStringLiteral("S"));
    end_.kind = ConversationEnd::Kind::Stopped;
}

void InstrumentConversation::prepareWindow() {
    state_.HasData = false;
    state_.Saved = false;
    const RunOptions& o = state_.CurrentOptions;
    state_.FirstSet = 1;
    state_.LastSet = o.RepeatMode ? static_cast<qint16>(qBound(1, int(o.Repeats), kMaxSets)) : 1;
    // A well that gets no reading in this run must never keep one from an earlier document.
    for (int set = state_.FirstSet; set <= state_.LastSet; ++set) state_.document.clearSet(set);
    state_.RunSetsCleared = true;
    put(Kind::WindowPrepared);
}

Task<> InstrumentConversation::runDatasets() {
    const int planned = state_.LastSet - state_.FirstSet + 1;
    int completed = 0;
    for (int set = state_.FirstSet; set <= state_.LastSet; ++set) {
        state_.RunSet = static_cast<qint16>(set);
        if (!state_.RunActive) {
            send(QStringLiteral("S"));
            break;
        }
        put(Kind::DatasetBegun);
        beginDataset();
        put(Kind::StatusLine, datasetText("Downloading Options", "Downloading Options for "), true);
        enterPhase(RunPhase::Options);
        co_await downloadOptions();
        if (state_.RunStopped || failed()) break;
        put(Kind::StatusLine, datasetText("Waiting for data", "Waiting for "), true);
        enterPhase(RunPhase::Waiting);
        const bool received = co_await awaitDataset();
        if (!received) break;
        if (!anySelectedWellRead()) {
            // Stray "O", "X", "[" and "]" in line noise pass for a whole exchange; without a
            // single reading of its wells it was no measurement.
            end_.unreadSet = set;
            datasetOpen_ = false;
            send(QStringLiteral("S"));
            break;
        }
        datasetDone();
        showDatasetInGrid();
        put(Kind::ExcelEnabled, QString(), true);
        state_.HasData = true;
        ++completed;
        if (set == state_.LastSet) break;
        enterPhase(RunPhase::Delay);
        const bool delayed = co_await delayBetweenDatasets();
        if (!delayed) break;
        enterPhase(RunPhase::Handshake);
        const bool ready = co_await handshake();
        if (!ready) break;
    }
    co_await offerPartialSet(completed);
    end_.kind = ConversationEnd::Kind::Datasets;
    end_.completed = completed;
    end_.planned = planned;
}

Task<bool> InstrumentConversation::delayBetweenDatasets() {
    const qint16 delay = state_.CurrentOptions.Delay;
    if (delay <= 0) co_return true;
    put(Kind::StatusLine, QString::number(delay) + QStringLiteral(" second delay"), true);
    // A cancel ends the wait at once; what goes on the wire ("S", then "S") is unchanged.
    co_await waitUntil(now_ms_ + qint64(delay) * 1000, false, true);
    if (!state_.RunActive) {
        send(QStringLiteral("S"));
        co_return false;
    }
    co_return true;
}

QString InstrumentConversation::datasetText(const char* oneDataset, const char* prefix) const {
    if (state_.LastSet <= 1) return QString::fromLatin1(oneDataset);
    return QString::fromLatin1(prefix) + ordinal(state_.RunSet) + QStringLiteral(" of ") +
           QString::number(state_.LastSet) + QStringLiteral(" datasets");
}

}  // namespace vantorix
