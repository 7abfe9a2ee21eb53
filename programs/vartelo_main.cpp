// Vartelo: the curve plotter with sound.
#include "plotter/program_description.h"
#include "application/startup.h"

int main(int argc, char** argv) { return RunApplication(VarteloProgram(), argc, argv); }
