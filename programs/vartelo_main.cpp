// Vartelo: the curve plotter with sound.
#include "application/startup.h"
#include "sound/vartelo_program.h"

int main(int argc, char** argv) { return RunApplication(VarteloProgram(), argc, argv); }
