#include "io/pref.h"
void pref_class::IO_set(int, int) {}
