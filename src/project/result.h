#pragma once
// A value or a clear message saying what went wrong, for functions that read or write outside data.
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kinoloop {

struct Error {
    std::string message;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : value_(std::move(error)) {}

    bool Ok() const { return std::holds_alternative<T>(value_); }
    explicit operator bool() const { return Ok(); }
    T& Value() & { return std::get<T>(value_); }
    const T& Value() const& { return std::get<T>(value_); }
    T&& Value() && { return std::get<T>(std::move(value_)); }
    T* operator->() { return &Value(); }
    const T* operator->() const { return &Value(); }
    T& operator*() & { return Value(); }
    const std::string& Message() const { return std::get<Error>(value_).message; }

private:
    std::variant<T, Error> value_;
};

// Success without a value.
struct Done {};
using Status = Result<Done>;
inline Status Success() {
    return Done{};
}

}  // namespace kinoloop
