#include "dialogs/areas_integral.h"
