#include "runtime/PlatformUtils.h"

#include <cstring>
#include <string>

#include "io/IO_UTILS.h"
#include "platform/sys_dialog.h"
#include "shell/hl_init.h"

static const size_t out_capacity = 512;

bool GetFilePathFromUser(int inType, const char* inPrompt, const char*, int, const char* inDefaultDir,
                         char* outFileName)
{
	if (inType < 0 || inType > 2) return false;
	std::string start = inDefaultDir ? inDefaultDir : "";
	if (inType == sys_dialog_open) outFileName[0] = 0;
	if (inType != sys_dialog_folder && !start.empty() && start.back() != '/') start += '/';
	if (inType == sys_dialog_save) start += outFileName;
	std::string chosen;
	sys_dialog_result r = sys_run_dialog(inType, inPrompt ? inPrompt : "", start, chosen);
	if (r == sys_dialog_unavailable) {
		xer << "No file dialog: neither zenity nor kdialog could be run.\n";
		return false;
	}
	if (r == sys_dialog_cancelled) return false;
	if (inType == sys_dialog_folder && chosen.back() != '/') chosen += '/';
	set_path_to_right_dirchars(chosen);
	// A choice too long for the program's paths is turned down, not fatal: the user can choose again.
	if (chosen.size() > max_path_len || chosen.size() >= out_capacity) {
		xer << "The chosen path is too long: " << chosen << "\n";
		return false;
	}
	memcpy(outFileName, chosen.c_str(), chosen.size() + 1);
	return true;
}
