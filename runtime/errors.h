#pragma once
// The program's one family of error classes. Every failure the user can see is one of these,
// raised at one place per kind of failure and shown by the window-system layer's error display.

#include <cstdint>
#include <exception>
#include <string>

namespace pvz {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    // Adds a line that says where the failure happened; the first line stays the message.
    void addLocation(const std::string& where) { message_ += "\n" + where; }

private:
    std::string message_;
};

// A failure of reading a data file; code() is the I/O error code (2 file not found, 106 bad number, ...).
class EInOutError : public Exception {
public:
    EInOutError(std::int32_t code, std::string message) : Exception(std::move(message)), code_(code) {}
    std::int32_t code() const noexcept { return code_; }

private:
    std::int32_t code_;
};

// An impossible calendar date.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    EConvertError() : Exception("Invalid argument to date encode") {}
};

class EExternal : public Exception {
public:
    using Exception::Exception;
};

class EMathError : public EExternal {
public:
    using EExternal::EExternal;
};

class EZeroDivide : public EMathError {
public:
    using EMathError::EMathError;
    EZeroDivide() : EMathError("Floating point division by zero") {}
};

class EOverflow : public EMathError {
public:
    using EMathError::EMathError;
    EOverflow() : EMathError("Floating point overflow") {}
};

class EInvalidOp : public EMathError {
public:
    using EMathError::EMathError;
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};

}  // namespace pvz
