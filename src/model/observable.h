#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace qw {

// Keeps an observer registered for as long as it lives: destroying or resetting it unsubscribes.
// It may outlive what it observes; then it does nothing.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ~Subscription() { reset(); }

    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    void reset() {
        if (auto cancel = std::exchange(cancel_, {})) cancel();
    }

private:
    std::function<void()> cancel_;
};

// A value that tells its observers after it changed, and only when the new value differs from the
// old one. Single-threaded: observers run synchronously inside `set`. An observer may unsubscribe
// itself or others while being told; one removed that way is not called afterwards.
template <typename T>
class Observable {
public:
    using Observer = std::function<void(const T&)>;

    Observable() = default;
    explicit Observable(T initial) : value_(std::move(initial)) {}
    // Observers are registered with this object, so it is neither copied nor moved.
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    const T& value() const { return value_; }

    // Stores `value` and tells the observers, unless it equals the current value. Returns whether
    // the value changed.
    bool set(T value) {
        if (value == value_) return false;
        value_ = std::move(value);
        notify();
        return true;
    }

    Subscription subscribe(Observer observer) const {
        const std::size_t id = registry_->nextID++;
        registry_->entries.push_back({id, std::make_shared<Observer>(std::move(observer))});
        return Subscription([weak = std::weak_ptr<Registry>(registry_), id] {
            if (const auto registry = weak.lock()) std::erase_if(registry->entries, [id](const Entry& e) {
                return e.id == id;
            });
        });
    }

private:
    struct Entry {
        std::size_t id;
        std::shared_ptr<Observer> observer; // shared so that it survives unsubscribing during its own call
    };
    struct Registry {
        std::size_t nextID = 0;
        std::vector<Entry> entries;
    };

    void notify() {
        const auto snapshot = registry_->entries;
        for (const auto& entry : snapshot) {
            const bool stillSubscribed = std::any_of(registry_->entries.begin(), registry_->entries.end(),
                                                     [&](const Entry& e) { return e.id == entry.id; });
            if (stillSubscribed) (*entry.observer)(value_);
        }
    }

    T value_{};
    std::shared_ptr<Registry> registry_ = std::make_shared<Registry>();
};

} // namespace qw
