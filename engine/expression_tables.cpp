#include "engine/expression_tables.h"

#include "engine/program_variant.h"

long double ExprValues[ExprMaxValueId + 1][ExprSlotCount];
TExprNode ExprNodes[ExprMaxNode + 1][ExprSlotCount];
std::int32_t ExprNodeCount[ExprSlotCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
std::uint16_t ExprNextSlot = ExprFirstPieceId;
double EulerNumber = 2.718281828459045;

namespace {

struct Keyword {
  std::string_view name;
  int code;
};

constexpr Keyword kKeywords[] = {
    {"SIN", 1},      {"SINUS", 1},     {"COS", 2},       {"COSINUS", 2},  {"TAN", 3},
    {"TANGENTE", 3}, {"EXP", 4},       {"LN", 5},        {"LOG", 6},      {"RACINE", 7},
    {"RAC", 7},      {"SQRT", 7},      {"CARRE", 8},     {"CAR", 8},      {"SQR", 8},
    {"ABS", 9},      {"ABSOLU", 9},    {"SINH", 10},     {"COSH", 11},    {"TANH", 12},
    {"ARCCOS", 13},  {"ACOS", 13},     {"ARCOS", 13},    {"ASIN", 14},    {"ARCSIN", 14},
    {"ATAN", 15},    {"ARCTAN", 15},   {"ENT", 16},      {"ENTIER", 16},  {"INT", 17},
    {"INTEGER", 17}, {"FRAC", 18},     {"DECIMALE", 18}, {"FRACTION", 18}, {"HAS", 19},
    {"HASARD", 19},  {"U", 20},        {"CRE", 21},      {"SCI", 22},     {"TRI", 23},
    {"PAL", 24},     {"MAX", 50},      {"MAXIMUM", 50},  {"MIN", 51},     {"MINIMUM", 51},
    {"", 100},
};

}  // namespace

bool IsBinaryOp(int op) {
  switch (op) {
    case OpAdd:
    case OpSubtract:
    case OpMultiply:
    case OpDivide:
    case OpPower:
    case OpMax:
    case OpMin:
      return true;
    default:
      return false;
  }
}

int LookUpKeyword(std::string_view upper_name) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.name != upper_name) continue;
    const bool waveform = keyword.code >= 21 && keyword.code <= 24;
    if (waveform && CurrentProgram() != ProgramKind::Vartelo) return 0;
    return keyword.code;
  }
  return 0;
}

int LookUpVariable(std::string_view upper_piece) {
  if (upper_piece == "X") return 1;
  if (upper_piece == "A") return 2;
  if (upper_piece == "B") return 3;
  return 0;
}

bool LookUpConstant(std::string_view upper_piece, long double& value) {
  if (upper_piece == "PI") {
    value = kPi;
  } else if (upper_piece == "E") {
    value = EulerNumber;
  } else if (upper_piece == "LN2") {
    value = kLn2;
  } else if (upper_piece == "LN3") {
    value = kLn3;
  } else if (upper_piece == "RAC2") {
    value = kSqrt2;
  } else {
    return false;
  }
  return true;
}
