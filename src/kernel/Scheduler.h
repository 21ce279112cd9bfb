// Time for core: a monotonic clock with deadlines. Core never reads a real clock or sleeps;
// it asks the scheduler to call it back. QtScheduler runs on the event loop, VirtualScheduler
// jumps its clock to the next deadline so tests run hours of protocol time in milliseconds.
#pragma once

#include <QtGlobal>
#include <functional>
#include <map>
#include <memory>

class QObject;

namespace vantorix {

class Scheduler {
  public:
    using TimerId = quint64;
    using Callback = std::function<void()>;

    virtual ~Scheduler() = default;
    // Milliseconds on a monotonic clock (never goes back, not the time of day).
    virtual qint64 now_ms() const = 0;
    // Calls fn once the clock reaches deadline_ms (at once, on the next turn, if it already has).
    virtual TimerId callAt(qint64 deadline_ms, Callback fn) = 0;
    // Forgets a pending call; unknown or spent ids are ignored.
    virtual void cancel(TimerId id) = 0;

    TimerId callAfter(qint64 delay_ms, Callback fn) {
        return callAt(now_ms() + delay_ms, std::move(fn));
    }
    // The clock in whole seconds, as the instrument's timing rules count it.
    qint64 nowSeconds() const { return now_ms() / 1000; }
};

// Deadlines in virtual time. run*() executes due callbacks in deadline order (ties in the
// order they were scheduled), jumping the clock forward; nothing waits for real time.
class VirtualScheduler : public Scheduler {
  public:
    explicit VirtualScheduler(qint64 start_ms = 0) : now_(start_ms) {}
    qint64 now_ms() const override { return now_; }
    TimerId callAt(qint64 deadline_ms, Callback fn) override;
    void cancel(TimerId id) override;

    // Runs the earliest pending callback, moving the clock to its deadline; false when none.
    bool runNext();
    // Runs callbacks until none is pending or the next one lies after limit_ms; the clock
    // ends at limit_ms when it is not exceeded. Returns the number of callbacks run.
    int runUntil(qint64 limit_ms);
    int runFor(qint64 duration_ms) { return runUntil(now_ + duration_ms); }
    // Runs until `done` holds, no callback is pending or maxSteps callbacks ran; true if done.
    bool runUntil(const std::function<bool()>& done, int maxSteps = 10'000'000);
    bool idle() const { return queue_.empty(); }
    qint64 nextDeadline() const;

  private:
    struct Key {
        qint64 deadline;
        TimerId id;
        bool operator<(const Key& o) const {
            return deadline != o.deadline ? deadline < o.deadline : id < o.id;
        }
    };
    qint64 now_;
    TimerId nextId_ = 1;
    std::map<Key, Callback> queue_;
    std::map<TimerId, qint64> deadlines_;
};

// Deadlines on the Qt event loop and a monotonic clock.
class QtScheduler : public Scheduler {
  public:
    QtScheduler();
    ~QtScheduler() override;
    qint64 now_ms() const override;
    TimerId callAt(qint64 deadline_ms, Callback fn) override;
    void cancel(TimerId id) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace vantorix
