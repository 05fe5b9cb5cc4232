#pragma once
#include <cstdio>
#include <string>
void UTL_debug_init();
void UTL_dump_stack(FILE* file, void* stack_frame, void* address);
