#pragma once
class pref_class {
public:
	static void IO_set(int file, int write);
};
