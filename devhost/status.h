#pragma once
// How devhost reports a failure, everywhere: a function that can fail returns a Status, or a
// Result<T> when it also hands back a value. A failure carries its message, which the host
// prints or shows word for word; callers that know more put it in front ("line 3: …").

#include <optional>
#include <string>
#include <utility>

namespace marupo::devhost {

class [[nodiscard]] Status {
  public:
    Status() = default;  // success
    static Status Failure(std::string message) {
        Status status;
        status.message_ = std::move(message);
        return status;
    }

    bool Ok() const { return !message_.has_value(); }
    // The failure's message; empty on success.
    const std::string& Message() const { return message_ ? *message_ : Empty(); }
    // The same failure with `prefix` in front of its message; success stays success.
    Status Prefixed(const std::string& prefix) const {
        return Ok() ? Status() : Failure(prefix + *message_);
    }

  private:
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }

    std::optional<std::string> message_;
};

// Success when `ok`; otherwise a failure with `message`.
inline Status Check(bool ok, std::string message) {
    return ok ? Status() : Status::Failure(std::move(message));
}

template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    // `failure` must be one (not Ok).
    Result(Status failure) : status_(std::move(failure)) {}

    bool Ok() const { return value_.has_value(); }
    const Status& GetStatus() const { return status_; }
    const std::string& Message() const { return status_.Message(); }

    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

  private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace marupo::devhost
