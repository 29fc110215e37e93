// Exceptions that carry a message for the user; the event loop shows them in the error box.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>

// Base of every error raised by the program's own logic. The message is Shift-JIS text.
class EAppError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What the user is told of a failure that brings no message of the program's own (an exception
// of another kind, or none at all), the same wherever it is caught.
inline constexpr const char* kUnexpectedError = "予期しないエラーが発生しました。";

// A file could not be opened: "ファイル %s は開けません".
class EFOpenError : public EAppError {
  public:
    using EAppError::EAppError;
};

// A registry value has the wrong type or size.
class ERegistryError : public EAppError {
  public:
    using EAppError::EAppError;
};

// Replaces each "%s" of a message template with the next argument, in order.
std::string FormatText(const char* templ, std::initializer_list<std::string> args);
