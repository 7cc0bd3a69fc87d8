#pragma once

#include <string>
#include <utility>
#include <variant>

namespace qw {

// A failure carried as a value: the sentence says what is wrong and where.
struct Failure {
    std::string message;
    bool operator==(const Failure&) const = default;
};

// Either a value or a Failure. Nothing in the core throws across a subsystem boundary; operations
// that can fail on outside input return one of these.
template <typename T>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<T>(state_); }
    const T& value() const& { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Failure& failure() const { return std::get<Failure>(state_); }
    const std::string& message() const { return failure().message; }

private:
    std::variant<T, Failure> state_;
};

} // namespace qw
