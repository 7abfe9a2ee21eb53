#pragma once
// The node table of a compiled slot run as it stands, node by node from the highest number
// down, each value going through ExprValues. EvaluateFunction uses it for texts that draw
// random numbers, where the order of the draws and the end of the evaluation at the first
// undefined operand must be exactly those of the table; for every other text it gives the
// same results as the faster evaluation program.
long double EvaluateNodeTable(int slot, double x, double a, double b);
