#include "installer/main.h"
void APP_update() {}
