// Several listeners on one event, each holding a token that ends its subscription when the
// token goes away. A listener may end its own or another's subscription, or be destroyed,
// while it is being notified; the source may even go away first: the tokens outlive it safely.
//
//   Subscribers<const QString&> failed;
//   Subscription s = failed.add([](const QString& reason) { ... });
//   failed.notify("line dropped");   // calls every listener subscribed when it began
#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace vantorix {

namespace detail {

struct SubscriberEntry {
    virtual ~SubscriberEntry() = default;
    bool live = true;
};

struct SubscriberList {
    std::vector<std::shared_ptr<SubscriberEntry>> entries;
};

}  // namespace detail

// Move-only; ends its subscription when destroyed, reset or assigned over.
class [[nodiscard]] Subscription {
  public:
    Subscription() = default;
    Subscription(std::weak_ptr<detail::SubscriberList> list,
                 std::shared_ptr<detail::SubscriberEntry> entry)
        : list_(std::move(list)), entry_(std::move(entry)) {}
    ~Subscription() { reset(); }
    Subscription(Subscription&& other) noexcept = default;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    void reset();
    bool active() const { return entry_ && entry_->live; }

  private:
    std::weak_ptr<detail::SubscriberList> list_;
    std::shared_ptr<detail::SubscriberEntry> entry_;
};

template <typename... Args>
class Subscribers {
  public:
    using Listener = std::function<void(Args...)>;

    Subscribers() = default;
    Subscribers(const Subscribers&) = delete;
    Subscribers& operator=(const Subscribers&) = delete;

    Subscription add(Listener listener) {
        auto entry = std::make_shared<Entry>(std::move(listener));
        list_->entries.push_back(entry);
        return Subscription(list_, std::move(entry));
    }

    // Every listener subscribed when the call began and still subscribed when its turn comes,
    // in the order they subscribed. Touches nothing of this object after the first call, so
    // a listener may destroy the source.
    void notify(Args... args) const {
        const std::vector<std::shared_ptr<detail::SubscriberEntry>> snapshot = list_->entries;
        for (const auto& entry : snapshot)
            if (entry->live) static_cast<const Entry&>(*entry).listener(args...);
    }

    bool empty() const { return list_->entries.empty(); }

  private:
    struct Entry : detail::SubscriberEntry {
        explicit Entry(Listener l) : listener(std::move(l)) {}
        // Kept until the last snapshot lets go, so a listener running when it unsubscribes
        // is not destroyed under itself.
        Listener listener;
    };
    std::shared_ptr<detail::SubscriberList> list_ = std::make_shared<detail::SubscriberList>();
};

}  // namespace vantorix
