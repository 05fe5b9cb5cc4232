#include "shell/keys.h"
keys_class keys;
int keys_class::handle_key_raw(const sys_event_struct&) { return 0; }
void keys_class::run_repeat_keys() {}
void keys_class::keys_io(int) {}
