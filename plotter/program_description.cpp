#include "plotter/program_description.h"

namespace {

ProgramDescription& Installed() {
    static ProgramDescription program;
    return program;
}

}  // namespace

const ProgramDescription& ActiveProgram() { return Installed(); }

void InstallProgram(const ProgramDescription& program) { Installed() = program; }
