// The run's course once the file is named: the handshake, the window made ready, the priming
// question, then one options block and one dataset per repeat with the delays between them.
#include <QCoreApplication>
#include <algorithm>

#include "measurement/ConversationAwaiters.h"
#include "measurement/InstrumentConversation.h"
#include "measurement/RunTexts.h"
#include "plate/PlateDocument.h"

namespace vantorix {

using Kind = ConversationOutput::Kind;

Task<> InstrumentConversation::top(bool reception) {
    try {
        if (reception) {
            run_.stage = RunStage::Measuring;
            run_.set = run_.firstSet = run_.lastSet = 1;
            beginDataset();
            putPhase(RunPhase::Waiting, 1);
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
    // A line lost while the file was named has stopped the run already.
    if (!run_.stopped()) run_.stage = RunStage::Measuring;
    runStarted_ms_ = now_ms_;
    putPhase(RunPhase::Handshake, 0);
    const bool ready = co_await handshake();
    if (!ready) {
        end_.kind = ConversationEnd::Kind::NotReady;
        co_return;
    }
    if (!run_.measuring()) {
        stopEarly();
        co_return;
    }
    planSets();
    if (!run_.measuring()) {
        stopEarly();
        co_return;
    }
    const RunOptions& o = options_;
    if (o.Reaction == kReactionFlash && o.Prime1 > 0) {
        const bool primed = co_await ask(RunQuestion::Priming, QString::fromLatin1(kPrimingText));
        if (!primed) {
            end_.kind = ConversationEnd::Kind::PrimingRefused;
            co_return;
        }
    }
    flush();
    put(Kind::Measuring);
    co_await runDatasets();
}

void InstrumentConversation::stopEarly() {
    send(QStringLiteral("S"));
    end_.kind = ConversationEnd::Kind::Stopped;
}

void InstrumentConversation::planSets() {
    const RunOptions& o = options_;
    run_.firstSet = 1;
    run_.lastSet = o.RepeatMode ? static_cast<qint16>(qBound(1, int(o.Repeats), kMaxSets)) : 1;
    ConversationOutput planned{Kind::SetsPlanned};
    planned.sets = run_.lastSet;
    out_.push_back(std::move(planned));
}

Task<> InstrumentConversation::runDatasets() {
    const int planned = run_.plannedSets();
    int completed = 0;
    for (int set = run_.firstSet; set <= run_.lastSet; ++set) {
        run_.set = static_cast<qint16>(set);
        if (!run_.measuring()) {
            send(QStringLiteral("S"));
            break;
        }
        beginDataset();
        putPhase(RunPhase::Options, set);
        co_await downloadOptions();
        if (run_.stopped() || failed()) break;
        putPhase(RunPhase::Waiting, set);
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
        touchActivity();
        datasetDone();
        ++completed;
        if (set == run_.lastSet) break;
        putPhase(RunPhase::Delay, set, std::max<int>(options_.Delay, 0));
        const bool delayed = co_await delayBetweenDatasets();
        if (!delayed) break;
        putPhase(RunPhase::Handshake, set);
        const bool ready = co_await handshake();
        if (!ready) break;
    }
    co_await offerPartialSet(completed);
    end_.kind = ConversationEnd::Kind::Datasets;
    end_.completed = completed;
    end_.planned = planned;
}

Task<bool> InstrumentConversation::delayBetweenDatasets() {
    const qint16 delay = options_.Delay;
    if (delay <= 0) co_return true;
    // A cancel ends the wait at once; what goes on the wire ("S", then "S") is unchanged.
    co_await waitUntil(now_ms_ + qint64(delay) * 1000, false, true);
    if (!run_.measuring()) {
        send(QStringLiteral("S"));
        co_return false;
    }
    co_return true;
}

}  // namespace vantorix
