#pragma once
struct sys_event_struct;
class keys_class {
public:
	int handle_key_raw(const sys_event_struct& ev);
	void run_repeat_keys();
	void keys_io(int);
};
extern keys_class keys;
