#include "kernel/Scheduler.h"

#include <QElapsedTimer>
#include <QTimer>
#include <unordered_map>

namespace vantorix {

Scheduler::TimerId VirtualScheduler::callAt(qint64 deadline_ms, Callback fn) {
    const TimerId id = nextId_++;
    const qint64 when = deadline_ms < now_ ? now_ : deadline_ms;
    queue_.emplace(Key{when, id}, std::move(fn));
    deadlines_.emplace(id, when);
    return id;
}

void VirtualScheduler::cancel(TimerId id) {
    auto it = deadlines_.find(id);
    if (it == deadlines_.end()) return;
    queue_.erase(Key{it->second, id});
    deadlines_.erase(it);
}

bool VirtualScheduler::runNext() {
    if (queue_.empty()) return false;
    auto it = queue_.begin();
    const Key key = it->first;
    Callback fn = std::move(it->second);
    queue_.erase(it);
    deadlines_.erase(key.id);
    if (key.deadline > now_) now_ = key.deadline;
    fn();
    return true;
}

int VirtualScheduler::runUntil(qint64 limit_ms) {
    int count = 0;
    while (!queue_.empty() && queue_.begin()->first.deadline <= limit_ms) {
        runNext();
        ++count;
    }
    if (now_ < limit_ms) now_ = limit_ms;
    return count;
}

bool VirtualScheduler::runUntil(const std::function<bool()>& done, int maxSteps) {
    for (int i = 0; i < maxSteps; ++i) {
        if (done()) return true;
        if (!runNext()) return done();
    }
    return done();
}

qint64 VirtualScheduler::nextDeadline() const {
    return queue_.empty() ? -1 : queue_.begin()->first.deadline;
}

struct QtScheduler::Impl {
    QElapsedTimer clock;
    TimerId nextId = 1;
    std::unordered_map<TimerId, std::unique_ptr<QTimer>> timers;
};

QtScheduler::QtScheduler() : d(std::make_unique<Impl>()) {
    d->clock.start();
}

QtScheduler::~QtScheduler() = default;

qint64 QtScheduler::now_ms() const {
    return d->clock.elapsed();
}

Scheduler::TimerId QtScheduler::callAt(qint64 deadline_ms, Callback fn) {
    const TimerId id = d->nextId++;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id, fn = std::move(fn)]() {
        // Take the timer out first: the callback may schedule or cancel others.
        auto node = d->timers.extract(id);
        fn();
        if (node) node.mapped().release()->deleteLater();
    });
    timer->start(static_cast<int>(qBound<qint64>(0, deadline_ms - now_ms(), 24LL * 3600 * 1000)));
    d->timers.emplace(id, std::move(timer));
    return id;
}

void QtScheduler::cancel(TimerId id) {
    auto it = d->timers.find(id);
    if (it == d->timers.end()) return;
    it->second->stop();
    it->second.release()->deleteLater();
    d->timers.erase(it);
}

}  // namespace vantorix
