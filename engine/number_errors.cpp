#include "engine/number_errors.h"

namespace {
std::string Quoted(std::string_view text, const char* rest) {
  std::string message = "'";
  message += text;
  message += "' ";
  message += rest;
  return message;
}
}  // namespace

ConversionError::ConversionError(std::string_view text)
    : NumberError(Quoted(text, "n'est pas une valeur en virgule flottante correcte")) {}

IntegerConversionError::IntegerConversionError(std::string_view text)
    : NumberError(Quoted(text, "n'est pas une valeur enti\xE8re correcte")) {}

FloatOverflowError::FloatOverflowError()
    : NumberError("D\xE9passement de capacit\xE9 en virgule flottante") {}

FloatZeroDivideError::FloatZeroDivideError() : NumberError("Division par z\xE9ro en virgule flottante") {}

FloatInvalidOperationError::FloatInvalidOperationError()
    : NumberError("Op\xE9ration en virgule flottante incorrecte") {}
