#pragma once
// Between the compiler and the evaluator: after a successful compile the evaluator turns
// the slot's node table into its own evaluation program; a failed compile discards it.

// Builds the evaluation program of `slot` from its node table and values.
void BuildEvaluationProgram(int slot);

// Marks `slot` as not compiled: it evaluates to UndefinedValue at every point.
void DiscardCompiledSlot(int slot);
void DiscardAllCompiledSlots();
