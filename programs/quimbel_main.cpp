// Quimbel: the curve editor.
#include "application/startup.h"
#include "variants/quimbel_program.h"

int main(int argc, char** argv) { return RunApplication(QuimbelProgram(), argc, argv); }
