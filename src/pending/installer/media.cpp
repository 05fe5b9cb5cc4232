#include "installer/media.h"
int check_any(int, int) { return 0; }
