#include "engine/text_helpers.h"

#include <array>

namespace {

// Byte value -> base letter, 0 for bytes that keep their value.
constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> table{};
  struct Row {
    char letter;
    std::initializer_list<int> bytes;
  };
  const Row rows[] = {
      {'A', {131, 132, 133, 134, 142, 143, 160, 181, 182, 183, 192, 193, 194, 195, 196, 197, 224, 225, 226,
             227, 228, 229}},
      {'C', {128, 135, 199, 231}},
      {'D', {208}},
      {'E', {130, 136, 137, 138, 140, 144, 145, 146, 156, 198, 200, 201, 202, 203, 210, 211, 212, 230, 232,
             233, 234, 235}},
      {'I', {105, 139, 141, 161, 204, 205, 206, 207, 213, 214, 215, 216, 222, 236, 237, 238, 239}},
      {'N', {164, 165, 209, 241}},
      {'O', {147, 148, 149, 153, 162, 242, 243, 244, 245, 246}},
      {'U', {129, 150, 151, 154, 163, 217, 218, 219, 220, 249, 250, 251, 252}},
      {'Y', {152, 221, 253, 255}},
  };
  for (const Row& row : rows) {
    for (int byte : row.bytes) table[static_cast<std::size_t>(byte)] = row.letter;
  }
  return table;
}

constexpr std::array<char, 256> kFoldTable = MakeFoldTable();

}  // namespace

std::string FoldAccentsUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const char folded = kFoldTable[static_cast<unsigned char>(c)];
    if (folded != 0) c = folded;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string AddTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (!out.empty() && out.back() != '/') out += '/';
  return out;
}
