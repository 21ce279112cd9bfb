#include "kernel/Subscription.h"

#include <algorithm>

namespace vantorix {

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        list_ = std::move(other.list_);
        entry_ = std::move(other.entry_);
    }
    return *this;
}

void Subscription::reset() {
    if (!entry_) return;
    entry_->live = false;
    if (const auto list = list_.lock()) std::erase(list->entries, entry_);
    entry_.reset();
    list_.reset();
}

}  // namespace vantorix
