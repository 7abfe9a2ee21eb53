// The mouse on the image: reframing, panning, widening and label dragging. Its behaviour
// is not written yet: each handler is bound and does nothing.
#include "plotter/main_form.h"
#include "plotter/mouse_state.h"

TMouseState MouseState;

void TForm1::imMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TForm1::imMouseMove(TObject*, TShiftState, int, int) {}
void TForm1::imMouseUp(TObject*, TMouseButton, TShiftState, int, int) {}
