// The process entry: hands the command line, as one text without the program's name, to WinMain.
#include <string>

int WinMain(void* instance, void* prev_instance, const char* cmd_line, int show_cmd);

int main(int argc, char** argv)
{
	std::string line;
	for (int i = 1; i < argc; ++i) {
		if (i > 1) line += ' ';
		line += argv[i];
	}
	return WinMain(nullptr, nullptr, line.c_str(), 1);
}
