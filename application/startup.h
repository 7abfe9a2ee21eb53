#pragma once
// The start of a program: its windows created in order, then the message loop.
struct ProgramDescription;

// Makes the program the running one: puts the drawing state back to its start, installs
// the program's description, its undefined value, the redraw steps, the life-cycle hooks
// and the marker of unreadable texts.
void PrepareProgram(const ProgramDescription& program);

// Creates the windows in this order, each bound to its global: Form1 (the main window),
// then the dialogs Form2 .. Form9. Creating a window runs its OnCreate at once, so Form1's
// runs before any dialog exists. Nothing is drawn before the last dialog exists. Needs an
// initialised Application and a prepared program.
void CreateProgramWindows();

// Forgets the windows once the application has destroyed them.
void ForgetProgramWindows();

// The program block: initialises the application, creates the windows, runs the message
// loop until the main window closes. Returns the process exit code.
int RunApplication(const ProgramDescription& program, int argc, char** argv);
