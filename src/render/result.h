#pragma once
// The outcome of an operation on outside input: a value, or a message saying what went wrong.
#include <optional>
#include <string>
#include <utility>

namespace kinoloop::render {

struct Failure {
    std::string message;
};

struct Done {};  // the value of an operation that only succeeds or fails

template <class T>
class Result {
public:
    Result(T value)
        : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor): reads as `return value;`
    Result(Failure failure) : error_(std::move(failure.message)) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

using Status = Result<Done>;
inline Status Ok() {
    return Done{};
}

}  // namespace kinoloop::render
