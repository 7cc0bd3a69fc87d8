#include "model/observable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qw {
namespace {

using ::testing::ElementsAre;

TEST(ObservableTest, TellsObserversOnlyAboutRealChanges) {
    Observable<std::string> name("Desk");
    std::vector<std::string> seen;
    const auto subscription = name.subscribe([&](const std::string& value) { seen.push_back(value); });
    EXPECT_FALSE(name.set("Desk"));
    EXPECT_TRUE(name.set("Home"));
    EXPECT_FALSE(name.set("Home"));
    EXPECT_TRUE(name.set("Desk"));
    EXPECT_THAT(seen, ElementsAre("Home", "Desk"));
    EXPECT_EQ(name.value(), "Desk");
}

TEST(ObservableTest, AnEndedSubscriptionIsNotCalledAgain) {
    Observable<int> number;
    int first = 0, second = 0;
    auto a = number.subscribe([&](int) { ++first; });
    Subscription b = number.subscribe([&](int) { ++second; });
    number.set(1);
    a.reset();
    {
        const Subscription moved = std::move(b); // moving keeps it; the moved-to one ends it
        number.set(2);
    }
    number.set(3);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

TEST(ObservableTest, ObserversMayUnsubscribeWhileBeingTold) {
    Observable<int> number;
    std::vector<std::string> calls;
    Subscription second;
    Subscription first = number.subscribe([&](int) {
        calls.push_back("first");
        first.reset();  // itself
        second.reset(); // and the one after it, which is then not called
    });
    second = number.subscribe([&](int) { calls.push_back("second"); });
    number.set(1);
    number.set(2);
    EXPECT_THAT(calls, ElementsAre("first"));
}

TEST(ObservableTest, ASubscriptionMayOutliveWhatItObserves) {
    Subscription subscription;
    {
        Observable<int> number;
        subscription = number.subscribe([](int) {});
    }
    subscription.reset(); // does nothing, and nothing breaks
    SUCCEED();
}

} // namespace
} // namespace qw
