// The programs' test fixture (tests/plotter) built into this binary as well.
#include "tests/plotter/program_harness.cpp"
