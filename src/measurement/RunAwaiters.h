// Awaitables of the run sequence: a wait on bytes / a deadline / a cancel, and a question to
// the user answered through a callback. Private to the run's source files.
#pragma once

#include <memory>
#include <optional>

#include "measurement/RunSequence.h"

namespace vantorix {

struct RunSequence::Wait {
    RunSequence* run;
    qint64 deadline_ms;
    bool wantInput;
    bool cancellable;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        run->suspend(h, deadline_ms, wantInput, cancellable);
    }
    void await_resume() const noexcept {}
};

template <typename T>
struct RunSequence::Answer {
    RunSequence* run;
    std::function<void(std::function<void(T)>)> ask;
    std::shared_ptr<std::optional<T>> result = std::make_shared<std::optional<T>>();

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        std::weak_ptr<bool> alive = run->alive_;
        RunSequence* r = run;
        auto res = result;
        // The answer may come at once or much later; either way the run resumes from the
        // event loop, never from inside the question.
        ask([alive, r, res, h](T value) {
            if (alive.expired() || res->has_value()) return;
            *res = std::move(value);
            r->resumeLater(h);
        });
    }
    T await_resume() { return std::move(**result); }
};

}  // namespace vantorix
