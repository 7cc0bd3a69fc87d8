#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace qw {

using Callback = std::function<void()>;

// The main loop's queue of posted callbacks, first in first out. It is the one part of the loop
// other threads may touch, so every member is thread-safe. The loop shares it with its Replies,
// which may outlive the loop; once the loop closes it, late posts are dropped.
class Inbox {
public:
    void post(Callback callback);
    // The oldest queued callback, or an empty one when none is queued.
    Callback take();
    // Drops what is queued and refuses later posts.
    void close();

    // A callback is queued or a reply is still owed.
    bool busy() const;
    // Blocks until a callback is queued, or returns at once when no reply is owed (then nothing
    // can arrive that the loop waits for).
    void awaitPost();
    // Blocks until a callback is queued or `until` has passed.
    void awaitPostUntil(std::chrono::steady_clock::time_point until);

private:
    friend class Reply;
    void expectReply();
    void fulfilReply(Callback callback);
    void withdrawReply();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Callback> queue_;
    int repliesOwed_ = 0;
    bool closed_ = false;
};

// Another thread's promise to post one callback back to the loop, such as a background scan
// handing over its result. While a Reply is outstanding the loop counts it as work: run() waits
// for it rather than returning, and world time stands still meanwhile, so background work takes no
// world time. Dropping a Reply without posting releases the loop. Get one from
// MainLoop::expectReply() on the loop's thread, then hand it to the other thread.
class Reply {
public:
    explicit Reply(std::shared_ptr<Inbox> inbox);
    Reply(Reply&& other) noexcept = default;
    Reply& operator=(Reply&& other) noexcept;
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    ~Reply();

    // Posts the answer; the Reply is spent afterwards.
    void post(Callback callback) &&;

private:
    std::shared_ptr<Inbox> inbox_;
};

} // namespace qw
