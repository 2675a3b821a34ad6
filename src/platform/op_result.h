#pragma once

#include <string>
#include <utility>

namespace tidora::platform {

// Outcome of a change to the machine: success, or a message a user can read.
class OpResult {
public:
    static OpResult success() { return OpResult(); }
    static OpResult failure(std::string message) { return OpResult(std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    OpResult() = default;
    explicit OpResult(std::string message) : ok_(false), error_(std::move(message)) {}

    bool ok_ = true;
    std::string error_;
};

}  // namespace tidora::platform
