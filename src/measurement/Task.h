// A small lazy coroutine task, so the run sequence reads like its algorithm:
// `const bool ready = co_await handshake();`. Keep each co_await in a statement or an
// initialisation of its own: g++ 12 miscompiles a co_await inside an if condition. A task starts
// when awaited (or start()ed at the top level) and resumes its awaiter when it finishes. Errors
// propagate to the awaiter.
#pragma once

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace vantorix {

template <typename T>
class Task;

namespace detail {

struct TaskPromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr error;

    std::suspend_always initial_suspend() noexcept { return {}; }
    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept {
            auto next = h.promise().continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() { error = std::current_exception(); }
};

template <typename T>
struct TaskPromise : TaskPromiseBase {
    std::optional<T> value;
    Task<T> get_return_object();
    void return_value(T v) { value = std::move(v); }
};

template <>
struct TaskPromise<void> : TaskPromiseBase {
    Task<void> get_return_object();
    void return_void() {}
};

}  // namespace detail

template <typename T = void>
class [[nodiscard]] Task {
  public:
    using promise_type = detail::TaskPromise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle h) : h_(h) {}
    Task(Task&& o) noexcept : h_(std::exchange(o.h_, {})) {}
    Task& operator=(Task&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { reset(); }

    // Top level: runs the task until its first suspension.
    void start() {
        if (h_ && !h_.done()) h_.resume();
    }
    bool done() const { return !h_ || h_.done(); }
    // The error the task ended with, if any (top-level tasks have no awaiter to rethrow to).
    std::exception_ptr error() const { return h_ && h_.done() ? h_.promise().error : nullptr; }

    bool await_ready() const noexcept { return !h_ || h_.done(); }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiter) noexcept {
        h_.promise().continuation = awaiter;
        return h_;
    }
    T await_resume() {
        if (h_.promise().error) std::rethrow_exception(h_.promise().error);
        if constexpr (!std::is_void_v<T>) return std::move(*h_.promise().value);
    }

  private:
    void reset() {
        if (h_) h_.destroy();
        h_ = {};
    }
    Handle h_;
};

namespace detail {
template <typename T>
Task<T> TaskPromise<T>::get_return_object() {
    return Task<T>{std::coroutine_handle<TaskPromise<T>>::from_promise(*this)};
}
inline Task<void> TaskPromise<void>::get_return_object() {
    return Task<void>{std::coroutine_handle<TaskPromise<void>>::from_promise(*this)};
}
}  // namespace detail

}  // namespace vantorix
