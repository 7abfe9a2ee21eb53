// Vartelo: the curve plotter with sound.
#include "plotter/program_description.h"
#include "plotter/startup.h"

int main(int argc, char** argv) { return RunApplication(VarteloProgram(), argc, argv); }
