#include "platform/notification_center.h"

#include <algorithm>

namespace qw::platform {

struct NotificationCenter::Registration::Entry {
    std::string name;
    Handler handler;
};

void NotificationCenter::Registration::cancel() {
    const auto entries = owner_.lock();
    const auto entry = entry_.lock();
    entry_.reset();
    owner_.reset();
    if (entries && entry) std::erase(*entries, entry);
}

NotificationCenter::Registration& NotificationCenter::Registration::operator=(Registration&& other) noexcept {
    if (this != &other) {
        cancel();
        entry_ = std::move(other.entry_);
        owner_ = std::move(other.owner_);
    }
    return *this;
}

NotificationCenter::NotificationCenter()
    : entries_(std::make_shared<std::vector<std::shared_ptr<Registration::Entry>>>()) {}

NotificationCenter::Registration NotificationCenter::addObserver(std::string name, Handler handler) {
    auto entry = std::make_shared<Registration::Entry>(Registration::Entry{std::move(name), std::move(handler)});
    entries_->push_back(entry);
    Registration registration;
    registration.entry_ = entry;
    registration.owner_ = entries_;
    return registration;
}

void NotificationCenter::post(const Notification& notification) {
    // A snapshot, so that handlers may register or unregister while we walk; an entry removed by an
    // earlier handler of this post is skipped.
    const auto snapshot = *entries_;
    for (const auto& entry : snapshot) {
        if (entry->name != notification.name) continue;
        if (std::find(entries_->begin(), entries_->end(), entry) == entries_->end()) continue;
        entry->handler(notification);
    }
}

std::size_t NotificationCenter::observerCount(std::string_view name) const {
    return static_cast<std::size_t>(
        std::count_if(entries_->begin(), entries_->end(), [&](const auto& e) { return e->name == name; }));
}

} // namespace qw::platform
