// Whole flows through the window: open, edit, save, close.
#include "gui/GuiSupport.h"
