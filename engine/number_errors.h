#pragma once
// Errors of the number helpers. what() is the message in Windows-1252, as shown to the user.
#include <exception>
#include <string>
#include <string_view>

// Base of every error raised by a number conversion or a floating-point fault, so that a
// caller can catch a bad text and an out-of-range value in one handler.
class NumberError : public std::exception {
 public:
  explicit NumberError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A text that is not a floating-point number:
// "'<text>' n'est pas une valeur en virgule flottante correcte".
class ConversionError : public NumberError {
 public:
  explicit ConversionError(std::string_view text);
};

// A text that is not a decimal integer: "'<text>' n'est pas une valeur enti\xE8re correcte".
class IntegerConversionError : public NumberError {
 public:
  explicit IntegerConversionError(std::string_view text);
};

// A value beyond the range of its destination (a number text beyond the double range).
class FloatOverflowError : public NumberError {
 public:
  FloatOverflowError();
};

// The logarithm of zero and similar divisions by zero.
class FloatZeroDivideError : public NumberError {
 public:
  FloatZeroDivideError();
};

// An invalid operation: a non-finite value, or a value out of range converted to an integer.
class FloatInvalidOperationError : public NumberError {
 public:
  FloatInvalidOperationError();
};
