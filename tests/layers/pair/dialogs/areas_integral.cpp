// A computation that includes its form back.
#include "dialogs/areas_form.h"
