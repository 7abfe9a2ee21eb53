#include "engine/expression_compiler.h"

#include <numbers>

#include "engine/compiled_slots.h"
#include "engine/expression_tables.h"
#include "engine/number_conversion.h"
#include "engine/random_source.h"
#include "engine/text_helpers.h"

namespace {

std::function<void(int)> unreadable_text_marker;

// The character at 1-based position p, or 0 past either end.
char At(std::string_view text, long p) {
  return p >= 1 && p <= static_cast<long>(text.size()) ? text[static_cast<std::size_t>(p - 1)] : '\0';
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool IsProductVariable(char c) {
  const char u = UpperAscii(c);
  return u == 'X' || u == 'A' || u == 'B';
}

// The next node number of the slot, or false when the table is full.
bool TakeNode(int slot, int& n) {
  n = ExprNodeCount[slot];
  if (n > ExprMaxNode) return false;
  ExprNodeCount[slot] = n + 1;
  return true;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

bool CompileLeaf(const std::string& text, int id, int slot) {
  const std::string upper = UpperAscii(text);
  if (const int variable = LookUpVariable(upper); variable != 0) {
    int n;
    if (!TakeNode(slot, n)) return false;
    TExprNode& node = ExprNodes[n][slot];
    node.Op = OpCopy;
    node.LeftSlot = static_cast<std::int16_t>(variable);
    node.ResultSlot = static_cast<std::int16_t>(id);
    return true;
  }
  long double constant;
  if (LookUpConstant(upper, constant)) {
    ExprValues[id][slot] = constant;
    return true;
  }
  try {
    ExprValues[id][slot] = ParseNumber(text);
    return true;
  } catch (const NumberError&) {
    return false;
  }
}

bool CompileCall(const std::string& text, const SplitPoint& split, int id, int slot) {
  int n;
  if (!TakeNode(slot, n)) return false;
  TExprNode& node = ExprNodes[n][slot];
  const int code = LookUpKeyword(UpperAscii(std::string_view(text).substr(0, static_cast<std::size_t>(split.pos - 1))));
  if (code == 0) return false;
  const std::string arguments =
      text.substr(static_cast<std::size_t>(split.pos), static_cast<std::size_t>(split.close - split.pos - 1));
  if (code == 50 || code == 51) {
    // Two arguments separated by ";". The whole second argument is compiled: the length
    // bound of the text keeps it short enough.
    const int separator = FindArgumentSeparator(arguments);
    const std::string first =
        separator < 0 ? std::string() : arguments.substr(0, static_cast<std::size_t>(separator - 1));
    if (!CompileOperand(first, node.LeftSlot, slot)) return false;
    const std::string second =
        separator < 0 ? std::string() : arguments.substr(static_cast<std::size_t>(separator));
    if (!CompileOperand(second, node.RightSlot, slot)) return false;
  } else if (!CompileOperand(arguments, node.LeftSlot, slot)) {
    return false;
  }
  node.Op = static_cast<std::int16_t>(-99 - code);
  node.ResultSlot = static_cast<std::int16_t>(id);
  return true;
}

}  // namespace

void SetUnreadableTextMarker(std::function<void(int slot)> marker) { unreadable_text_marker = std::move(marker); }

bool PrepareFunction(std::string_view text, int slot) {
  if (slot < 0 || slot >= ExprSlotCount) return false;
  EulerNumber = std::numbers::e;
  ExprNextSlot = ExprFirstPieceId;
  ExprNodeCount[slot] = 1;
  DiscardCompiledSlot(slot);
  const bool readable = text.size() <= ExprMaxTextLength && CompileExpression(std::string(text), 0, slot);
  ReseedRandomFromClock();
  if (readable) {
    BuildEvaluationProgram(slot);
  } else if (unreadable_text_marker) {
    unreadable_text_marker(slot);
  }
  return readable;
}

bool CompileExpression(std::string text, int id, int slot) {
  if (slot < 0 || slot >= ExprSlotCount || id < 0 || id > ExprMaxValueId) return false;
  std::erase(text, ' ');
  NormalizeExpression(text);
  const SplitPoint split = FindSplitOperator(text);
  switch (split.kind) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6: {
      int n;
      if (!TakeNode(slot, n)) return false;
      TExprNode& node = ExprNodes[n][slot];
      const auto pos = static_cast<std::size_t>(split.pos);
      if (!CompileOperand(text.substr(0, pos - 1), node.LeftSlot, slot)) return false;
      // A "-" stays with its right operand, which compiles as a negation: a-b is a + (-b).
      if (!CompileOperand(text.substr(split.kind == 2 ? pos - 1 : pos), node.RightSlot, slot)) return false;
      node.Op = static_cast<std::int16_t>(-199 - split.kind);
      node.ResultSlot = static_cast<std::int16_t>(id);
      return true;
    }
    case 5: {
      int n;
      if (!TakeNode(slot, n)) return false;
      TExprNode& node = ExprNodes[n][slot];
      if (!CompileOperand(text.substr(1), node.LeftSlot, slot)) return false;
      node.Op = OpNegate;
      node.ResultSlot = static_cast<std::int16_t>(id);
      return true;
    }
    case 100:
      return CompileCall(text, split, id, slot);
    default:
      return CompileLeaf(text, id, slot);
  }
}

bool CompileOperand(const std::string& text, std::int16_t& field, int slot) {
  if (const int variable = LookUpVariable(UpperAscii(text)); variable != 0) {
    field = static_cast<std::int16_t>(variable);
    return true;
  }
  if (ExprNextSlot > ExprMaxValueId) return false;
  const int id = ExprNextSlot++;
  field = static_cast<std::int16_t>(id);
  return CompileExpression(text, id, slot);
}

void NormalizeExpression(std::string& text) {
  const long length = static_cast<long>(text.size());  // L: not changed by the steps below

  // One enclosing pair of parentheses: "(" first, its ")" last.
  if (!text.empty() && text.front() == '(') {
    int depth = 0;
    std::size_t match = std::string::npos;
    for (std::size_t i = 0; i < text.size() && match == std::string::npos; ++i) {
      if (text[i] == '(') ++depth;
      if (text[i] == ')' && --depth == 0) match = i;
    }
    if (match == text.size() - 1) text = text.substr(1, text.size() - 2);
  }

  // Implicit products: a digit before "(" or before a character from "A" to "z" other
  // than "^" (2x, 3(x+1), 2sin(x), 2pi); two of x, a, b side by side (xa, bx), but not the
  // "ax" of max nor the "ab" of abs(.
  for (long j = 2; j <= length;) {
    const char c = At(text, j);
    const char before = At(text, j - 1);
    const auto code = static_cast<unsigned char>(c);
    const bool after_digit = IsDigit(before) && (c == '(' || (code >= 65 && code <= 122 && c != '^'));
    const bool two_variables = IsProductVariable(c) && IsProductVariable(before) &&
                               UpperAscii(At(text, j - 2)) != 'M' &&
                               !(j + 2 <= length && UpperAscii(At(text, j + 1)) == 'S');
    if (after_digit || two_variables) {
      text.insert(static_cast<std::size_t>(j - 1), 1, '*');
      j += 2;
    } else {
      j += 1;
    }
  }

  ReplaceAll(text, "\xB2", "^2");
  ReplaceAll(text, ")(", ")*(");
}

SplitPoint FindSplitOperator(std::string_view text) {
  const long length = static_cast<long>(text.size());
  int level = 10;
  long pos = 0, open = 0, close = 0;
  int depth = 0;
  for (long i = 1; i <= length; ++i) {
    const bool inside = 1 < i && i < length;  // not the first nor the last character
    switch (text[static_cast<std::size_t>(i - 1)]) {
      case '(':
        if (depth == 0 && open == 0) open = i;
        ++depth;
        break;
      case ')':
        if (depth > 0) {
          if (close == 0 && depth == 1) close = i;
          --depth;
        }
        break;
      case '+':
        if (depth == 0 && level > 2 && inside) return {1, static_cast<int>(i), 0};
        break;
      case '-':
        if (depth == 0 && level > 2 && inside) {
          level = 2;
          pos = i;
        }
        if (depth == 0 && level > 5 && i == 1) {
          level = 5;
          pos = 1;
        }
        break;
      case '*':
        if (depth == 0 && level > 4 && inside) {
          level = 3;
          pos = i;
        }
        break;
      case '/':
        if (depth == 0 && level > 4 && inside) {
          level = 4;
          pos = i;
        }
        break;
      case '^':
        if (depth == 0 && level > 6 && inside) {
          level = 6;
          pos = i;
        }
        break;
      default:
        break;
    }
  }
  if (level >= 1 && level <= 6) return {level, static_cast<int>(pos), 0};
  if (open > 0 && close == length) return {100, static_cast<int>(open), static_cast<int>(close)};
  return {};
}

int FindArgumentSeparator(std::string_view text) {
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')') --depth;
    if (text[i] == ';' && depth == 0) return static_cast<int>(i + 1);
  }
  return -1;
}
