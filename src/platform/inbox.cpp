#include "platform/inbox.h"

#include <cassert>
#include <utility>

namespace qw {

void Inbox::post(Callback callback)
{
    assert(callback);
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        queue_.push_back(std::move(callback));
    }
    changed_.notify_one();
}

Callback Inbox::take()
{
    std::lock_guard lock(mutex_);
    if (queue_.empty())
        return {};
    Callback next = std::move(queue_.front());
    queue_.pop_front();
    return next;
}

void Inbox::close()
{
    std::deque<Callback> dropped;
    std::lock_guard lock(mutex_);
    closed_ = true;
    // Destroyed after the lock is released, in case a callback's captures post on destruction.
    dropped.swap(queue_);
}

bool Inbox::busy() const
{
    std::lock_guard lock(mutex_);
    return !queue_.empty() || repliesOwed_ > 0;
}

void Inbox::awaitPost()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty() || repliesOwed_ == 0; });
}

void Inbox::awaitPostUntil(std::chrono::steady_clock::time_point until)
{
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, until, [&] { return !queue_.empty(); });
}

void Inbox::expectReply()
{
    std::lock_guard lock(mutex_);
    ++repliesOwed_;
}

void Inbox::fulfilReply(Callback callback)
{
    assert(callback);
    {
        // Queued and no longer owed in one step, so the loop never sees neither and stops early.
        std::lock_guard lock(mutex_);
        --repliesOwed_;
        if (!closed_)
            queue_.push_back(std::move(callback));
    }
    changed_.notify_one();
}

void Inbox::withdrawReply()
{
    {
        std::lock_guard lock(mutex_);
        --repliesOwed_;
    }
    changed_.notify_one();
}

Reply::Reply(std::shared_ptr<Inbox> inbox) : inbox_(std::move(inbox))
{
    inbox_->expectReply();
}

Reply& Reply::operator=(Reply&& other) noexcept
{
    if (this != &other) {
        if (inbox_)
            inbox_->withdrawReply();
        inbox_ = std::move(other.inbox_);
    }
    return *this;
}

Reply::~Reply()
{
    if (inbox_)
        inbox_->withdrawReply();
}

void Reply::post(Callback callback) &&
{
    assert(inbox_ && "a Reply posts once");
    std::exchange(inbox_, nullptr)->fulfilReply(std::move(callback));
}

} // namespace qw

