#include "app/MorvaneApp.h"

wxIMPLEMENT_APP(MorvaneApp);
