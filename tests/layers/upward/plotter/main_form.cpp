// A main-window file that reaches up into a dialog.
#include "dialogs/areas_form.h"
