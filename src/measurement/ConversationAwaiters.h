// Awaitables of the instrument conversation: a wait on bytes / a deadline / a cancel, and a
// question to the user. Both are satisfied by the conversation's own inputs (feed, advance,
// answer), never by a port or a clock. Private to the conversation's source files.
#pragma once

#include <utility>

#include "measurement/InstrumentConversation.h"

namespace vantorix {

struct InstrumentConversation::Wait {
    InstrumentConversation* conv;
    qint64 deadline_ms;
    bool wantInput;
    bool cancellable;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        conv->suspend(h, deadline_ms, wantInput, cancellable);
    }
    void await_resume() const noexcept {}
};

struct InstrumentConversation::Answer {
    InstrumentConversation* conv;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) { conv->asker_ = h; }
    bool await_resume() { return *std::exchange(conv->answer_, std::nullopt); }
};

}  // namespace vantorix
