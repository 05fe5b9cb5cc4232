#include "runtime/UTL_Debug.h"
void UTL_debug_init() {}
void UTL_dump_stack(FILE*, void*, void*) {}
