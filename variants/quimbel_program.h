#pragma once
// Quimbel: the curve editor, without sound.
#include "plotter/program_description.h"

const ProgramDescription& QuimbelProgram();
