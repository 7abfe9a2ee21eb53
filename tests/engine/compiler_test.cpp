#include <string>

#include "engine/expression_tables.h"
#include "engine_test_support.h"

namespace {

class Compiler : public EngineTest {};

void ExpectNode(int n, int op, int result, int left, int right) {
  const TExprNode& node = ExprNodes[n][0];
  EXPECT_EQ(node.Op, op) << "node " << n;
  EXPECT_EQ(node.ResultSlot, result) << "node " << n;
  EXPECT_EQ(node.LeftSlot, left) << "node " << n;
  if (right >= 0) {
    EXPECT_EQ(node.RightSlot, right) << "node " << n;
  }
}

TEST_F(Compiler, WorkedExampleNodeTable) {
  ASSERT_TRUE(PrepareFunction("2x^2+1", 0));
  EXPECT_EQ(ExprNodeCount[0], 4);
  ExpectNode(1, OpAdd, 0, 4, 8);
  ExpectNode(2, OpMultiply, 4, 5, 6);
  ExpectNode(3, OpPower, 6, 1, 7);
  EXPECT_EQ(ExprValues[5][0], 2.0L);
  EXPECT_EQ(ExprValues[7][0], 2.0L);
  EXPECT_EQ(ExprValues[8][0], 1.0L);
  EXPECT_EQ(ExprNextSlot, 9);
  EXPECT_EQ(EvaluateFunction(0, 3, 0, 0), 19.0L);
}

TEST_F(Compiler, LeavesCallsAndCopies) {
  ASSERT_TRUE(PrepareFunction("x", 0));
  EXPECT_EQ(ExprNodeCount[0], 2);
  ExpectNode(1, OpCopy, 0, 1, -1);

  ASSERT_TRUE(PrepareFunction("3", 0));
  EXPECT_EQ(ExprNodeCount[0], 1);
  EXPECT_EQ(ExprValues[0][0], 3.0L);
  EXPECT_EQ(EvaluateFunction(0, 7, 0, 0), 3.0L);

  ASSERT_TRUE(PrepareFunction("max(x;a)", 0));
  EXPECT_EQ(ExprNodeCount[0], 2);
  ExpectNode(1, OpMax, 0, 1, 2);

  ASSERT_TRUE(PrepareFunction("((x+1))", 0));  // one pair stripped, the inner one copied
  ExpectNode(1, OpCopy, 0, 4, -1);
  ExpectNode(2, OpAdd, 4, 1, 5);

  ASSERT_TRUE(PrepareFunction("5-x", 0));  // a-b is a + (-b)
  ExpectNode(1, OpSubtract, 0, 4, 5);
  ExpectNode(2, OpNegate, 5, 1, -1);
}

TEST_F(Compiler, PrecedenceAndAssociativity) {
  EXPECT_EQ(Eval("8/4*2"), 1.0L);  // "/" binds to the right
  EXPECT_EQ(Eval("8/4/2"), 4.0L);
  EXPECT_EQ(Eval("1/2x", 2), 0.25L);
  EXPECT_EQ(Eval("x*a/b", 8, 4, 2), 16.0L);
  EXPECT_EQ(Eval("2^3^2"), 512.0L);
  EXPECT_EQ(Eval("5-3-1"), 1.0L);
  EXPECT_EQ(Eval("5-3+1"), 3.0L);
  EXPECT_EQ(Eval("-x^2", 3), -9.0L);
  EXPECT_EQ(Eval("-x*2", 3), -6.0L);
  EXPECT_EQ(Eval("-x+1", 3), -2.0L);
  EXPECT_EQ(Eval("x^2*3", 2), 12.0L);
  EXPECT_EQ(Eval("+3"), 3.0L);
  EXPECT_EQ(Eval("2*(-3)"), -6.0L);
  EXPECT_EQ(Eval("2^(-1)"), 0.5L);
  EXPECT_EQ(Eval("-(-x)", 4), 4.0L);
}

TEST_F(Compiler, ImplicitProducts) {
  EXPECT_EQ(Eval("2x^2", 3), 18.0L);             // 2*(x^2)
  EXPECT_EQ(Eval("x\xB2", 3), 9.0L);             // the superscript two
  EXPECT_EQ(Eval("2x\xB2", 3), 18.0L);
  EXPECT_EQ(Eval("(x+1)(x-1)", 3), 8.0L);
  EXPECT_EQ(Eval("2(x+1)", 3), 8.0L);
  EXPECT_EQ(Eval("xa", 3, 5), 15.0L);
  EXPECT_EQ(Eval("2A", 0, 5), 10.0L);
  EXPECT_EQ(Eval("bx", 3, 0, 7), 21.0L);
  EXPECT_EQ(Eval("abs(x)", -3), 3.0L);           // "ab" of abs( is not a product
  EXPECT_EQ(Eval("max(x;a)", 3, 5), 5.0L);       // nor the "ax" of max
  EXPECT_EQ(Eval("2sin(x)", 0), 0.0L);
  EXPECT_EQ(Eval("2pi"), 2 * kPi);
  EXPECT_EQ(Eval("2*(x)", 3), 6.0L);
  EXPECT_EQ(Eval("(2x)^2a", 3, 1), 36.0L);       // read as (2x)^(2a)
  EXPECT_EQ(Eval("2,5x", 2), 5.0L);
  EXPECT_EQ(Eval("2.5x", 2), 5.0L);
}

TEST_F(Compiler, KeywordsAndConstants) {
  EXPECT_EQ(Eval("SIN(X)", 1), Eval("sin(x)", 1));
  EXPECT_EQ(Eval("Sinus(x)", 1), Eval("sin(x)", 1));
  EXPECT_EQ(Eval("racine(x)", 9), 3.0L);
  EXPECT_EQ(Eval("carre(x)", 9), 81.0L);
  EXPECT_EQ(Eval("PI"), kPi);
  EXPECT_EQ(Eval("e"), static_cast<long double>(2.718281828459045));
  EXPECT_EQ(Eval("ln2"), kLn2);
  EXPECT_EQ(Eval("LN3"), kLn3);
  EXPECT_EQ(Eval("rac2"), kSqrt2);
  EXPECT_EQ(EulerNumber, 2.718281828459045);
}

TEST_F(Compiler, UnreadableTextsAreMarked) {
  const char* unreadable[] = {"2*-3", "1E5",      "x+",      "+x",     "max(x)", "max(x;y;z)", "sin(x",
                              "sin(x))", "foo(x)", "sin x",  "",       "(",      "x(2)",       "1,2,3",
                              "--x",     "2^-1",   ")x",     "x2",     "pi2",    "T",          "2*T",
                              "sin(x)+t", "cre(x)"};
  for (const char* text : unreadable) {
    marked_.clear();
    EXPECT_FALSE(PrepareFunction(text, 3)) << text;
    EXPECT_EQ(marked_, std::vector<int>{3}) << text;
    EXPECT_EQ(EvaluateFunction(3, 1, 1, 1), UndefinedValue) << text;
  }
  marked_.clear();
  EXPECT_TRUE(PrepareFunction("sin(x)", 3));
  EXPECT_TRUE(marked_.empty());
}

TEST_F(Compiler, WaveformKeywordsBelongToVartelo) {
  EXPECT_FALSE(Readable("cre(x)"));
  EXPECT_FALSE(Readable("pal(x)"));
  UseProgram(ProgramKind::Vartelo);
  for (const char* text : {"cre(x)", "sci(x)", "tri(x)", "pal(x)"}) EXPECT_TRUE(Readable(text)) << text;
}

TEST_F(Compiler, SplitAndSeparatorPositions) {
  EXPECT_EQ(FindSplitOperator("a-b*c").kind, 2);
  EXPECT_EQ(FindSplitOperator("a-b*c").pos, 2);
  EXPECT_EQ(FindSplitOperator("-a*b").kind, 3);
  EXPECT_EQ(FindSplitOperator("-a^b").kind, 5);
  const SplitPoint call = FindSplitOperator("max(x;(a;b))");
  EXPECT_EQ(call.kind, 100);
  EXPECT_EQ(call.pos, 4);
  EXPECT_EQ(call.close, 12);
  EXPECT_EQ(FindSplitOperator("(x)y").kind, 0);
  EXPECT_EQ(FindArgumentSeparator("(a;b);c"), 6);
  EXPECT_EQ(FindArgumentSeparator("ab"), -1);
  std::string text = "((x))";
  NormalizeExpression(text);
  EXPECT_EQ(text, "(x)");
  text = "2x(x)(a)";
  NormalizeExpression(text);
  EXPECT_EQ(text, "2*x(x)*(a)");
}

std::string Repeat(const std::string& piece, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += piece;
  return out;
}

TEST_F(Compiler, CapacityOfValueIdsNodesAndNesting) {
  // "x+x+...+x": k additions take k nodes and k-1 value ids (ids 4 .. k+2).
  EXPECT_TRUE(Readable("x" + Repeat("+x", 997)));
  EXPECT_EQ(EvaluateFunction(0, 1, 0, 0), 998.0L);
  EXPECT_FALSE(Readable("x" + Repeat("+x", 998)));  // would need value id 1000
  EXPECT_EQ(marked_, std::vector<int>{0});

  // Products of bare variables need no value id for their right operands' leaves: nodes
  // run out first. "x*(x*(...))" with n nodes.
  marked_.clear();
  EXPECT_FALSE(Readable(Repeat("-(", 1001) + "x" + Repeat(")", 1001)));  // 1001 negations
  EXPECT_EQ(marked_, std::vector<int>{0});
  EXPECT_TRUE(Readable(Repeat("-(", 900) + "x" + Repeat(")", 900)));
  EXPECT_EQ(EvaluateFunction(0, 5, 0, 0), 5.0L);

  // Deep nesting within the length bound ends on the node bound, never on the stack.
  EXPECT_FALSE(Readable(Repeat("(", 1999) + "x" + Repeat(")", 1999)));
  EXPECT_TRUE(Readable(Repeat("(", 1900) + "x" + Repeat(")", 1900)));
  EXPECT_EQ(EvaluateFunction(0, 5, 0, 0), 5.0L);
  EXPECT_FALSE(Readable(Repeat("sin(", 1001) + "x" + Repeat(")", 1001)));
  EXPECT_FALSE(Readable(std::string(ExprMaxTextLength, ' ') + "x"));
  EXPECT_TRUE(Readable(std::string(ExprMaxTextLength - 1, ' ') + "x"));

  // The second argument of max is compiled whole, however long.
  const std::string long_sum = "x" + Repeat("+x", 600);
  EXPECT_EQ(Eval("max(0;" + long_sum + ")", 1), 601.0L);
}

TEST_F(Compiler, FailedCompileLeavesSlotUndefinedOthersIntact) {
  ASSERT_TRUE(PrepareFunction("x+1", 1));
  ASSERT_TRUE(PrepareFunction("x*2", 2));
  EXPECT_EQ(EvaluateFunction(1, 1, 0, 0), 2.0L);
  EXPECT_FALSE(PrepareFunction("x+foo(x)", 1));
  for (double x : {-1.0, 0.0, 1.0, 2.0}) EXPECT_EQ(EvaluateFunction(1, x, 0, 0), UndefinedValue);
  EXPECT_EQ(EvaluateFunction(2, 3, 0, 0), 6.0L);
  EXPECT_EQ(EvaluateFunction(9, 1, 0, 0), UndefinedValue);  // never compiled
  EXPECT_EQ(EvaluateFunction(10, 1, 0, 0), UndefinedValue);
  EXPECT_EQ(EvaluateFunction(11, 1, 0, 0), UndefinedValue);
  EXPECT_EQ(EvaluateFunction(-1, 1, 0, 0), UndefinedValue);
  EXPECT_FALSE(PrepareFunction("x", 11));
}

TEST_F(Compiler, SelectingAProgramDiscardsCompiledSlots) {
  ASSERT_TRUE(PrepareFunction("x", 4));
  EXPECT_EQ(EvaluateFunction(4, 2, 0, 0), 2.0L);
  UseProgram(ProgramKind::Vartelo);
  EXPECT_EQ(EvaluateFunction(4, 2, 0, 0), UndefinedValue);
}

}  // namespace
