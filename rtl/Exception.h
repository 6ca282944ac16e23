#pragma once
// The runtime's exception classes. Messages are the runtime's own, in French.
#include <exception>
#include <string>

#include "rtl/String.h"

namespace rtl {

// Base of every exception Cofrex raises: a message and nothing else.
class Exception : public std::exception {
public:
    explicit Exception(String message);
    const String& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    String message_;
    std::string utf8_;
};

// Messages carry the path in double quotes, a full stop and the system's reason.
class EFCreateError : public Exception {
public:
    EFCreateError(const String& path, const String& reason);
};

class EFOpenError : public Exception {
public:
    EFOpenError(const String& path, const String& reason);
};

class EResNotFound : public Exception {
public:
    explicit EResNotFound(const String& name);
};

class EListError : public Exception {
public:
    explicit EListError(int64_t index);
};

class EConvertError : public Exception {
public:
    // A text that is not an integer.
    explicit EConvertError(const String& text);
};

class EOutOfMemory : public Exception {
public:
    EOutOfMemory();
};

class EReadError : public Exception {
public:
    EReadError();
};

class EWriteError : public Exception {
public:
    EWriteError();
};

}  // namespace rtl
