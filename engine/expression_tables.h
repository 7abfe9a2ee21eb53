#pragma once
// The tables that the expression compiler fills and the evaluator runs: eleven compile
// slots, each a column of a value table and of a node table. Module-level state, used on
// the GUI thread only.
#include <cstdint>
#include <string_view>

inline constexpr int ExprSlotCount = 11;      // slots 0..10; 0..8 are the functions f..n
inline constexpr int ExprMaxValueId = 999;    // value ids 0..999
inline constexpr int ExprMaxNode = 1000;      // nodes 1..1000 (node 0 is never used)
inline constexpr int ExprFirstPieceId = 4;    // ids 0 (whole text), 1 x, 2 a, 3 b come first

// One operation of a compiled text: it writes the value id ResultSlot from the value ids
// LeftSlot and (for two operands) RightSlot.
struct TExprNode {
  std::int16_t Op;
  std::int16_t ResultSlot;
  std::int16_t LeftSlot;
  std::int16_t RightSlot;
};

// Operation codes. A call of the keyword with code k (1..24) is -99 - k; max and min are
// codes 50 and 51; a parenthesised group (code 100) is a copy.
enum ExprOp : std::int16_t {
  OpCopy = -199,
  OpAdd = -200,
  OpSubtract = -201,  // the right operand keeps its minus sign: a-b is a + (-b)
  OpMultiply = -202,
  OpDivide = -203,
  OpNegate = -204,
  OpPower = -205,
  OpSin = -100,
  OpCos = -101,
  OpTan = -102,
  OpExp = -103,
  OpLn = -104,
  OpLog = -105,
  OpSqrt = -106,
  OpSquare = -107,
  OpAbs = -108,
  OpSinh = -109,
  OpCosh = -110,
  OpTanh = -111,
  OpArcCos = -112,
  OpArcSin = -113,
  OpArcTan = -114,
  OpEnt = -115,
  OpInt = -116,
  OpFrac = -117,
  OpRandom = -118,
  OpStep = -119,
  OpSquareWave = -120,    // Vartelo only
  OpSawtoothWave = -121,  // Vartelo only
  OpTriangleWave = -122,  // Vartelo only
  OpPlateauWave = -123,   // Vartelo only
  OpMax = -149,
  OpMin = -150,
};

bool IsBinaryOp(int op);

// ExprValues[id][slot]: id 0 the value of the whole text, 1..3 x, a, b, 4.. the pieces;
// constants and numbers are written once by the compiler.
extern long double ExprValues[ExprMaxValueId + 1][ExprSlotCount];
// ExprNodes[node][slot]; the live nodes of a slot are 1 .. ExprNodeCount[slot] - 1.
extern TExprNode ExprNodes[ExprMaxNode + 1][ExprSlotCount];
extern std::int32_t ExprNodeCount[ExprSlotCount];
// The next free value id, shared by all slots; each compile starts it at 4.
extern std::uint16_t ExprNextSlot;
// e rounded to double precision, set by every compile; the constant "E" and exp use it.
extern double EulerNumber;

// The keyword code of a call name already in upper case (1..24, 50, 51; 100 for the empty
// name), or 0 when the name is no keyword of the current program.
int LookUpKeyword(std::string_view upper_name);

// The code of a variable ("X" 1, "A" 2, "B" 3) for a piece in upper case, or 0.
int LookUpVariable(std::string_view upper_piece);

// The value of a named constant ("PI", "E", "LN2", "LN3", "RAC2") for a piece in upper
// case; false when the piece names none.
bool LookUpConstant(std::string_view upper_piece, long double& value);

// 80-bit constants shared by the compiler and the evaluator.
inline constexpr long double kPi = 3.141592653589793238462643383279502884L;
inline constexpr long double kHalfPi = kPi / 2;
inline constexpr long double kTwoPi = kPi * 2;
inline constexpr long double kLn2 = 0.693147180559945309417232121458176568L;
inline constexpr long double kLn3 = 1.098612288668109691395245236922525704L;
inline constexpr long double kLn10 = 2.302585092994045684017991454684364208L;
inline constexpr long double kSqrt2 = 1.414213562373095048801688724209698079L;
