#include "installer/main.h"
void APP_update() {}
int pick_dest_path() { return 0; }
