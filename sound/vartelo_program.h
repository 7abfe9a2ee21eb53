#pragma once
// Vartelo: the curve plotter with sound.
#include "plotter/program_description.h"

const ProgramDescription& VarteloProgram();
