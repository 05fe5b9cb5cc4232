#include "io/pref.h"

#include <climits>
#include <cstdlib>

#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/xmap.h"
#include "net/http.h"
#include "runtime/UTL_cmdline.h"
#include "shell/hl_alert.h"

static const char* const unit = "pref";
static const int pref_version = 9002;

pref_class pref;

scan_class::scan_class(const std::string& path, int opr_typ) : opr_typ(opr_typ)
{
	if (opr_typ) {
		ouf_open(path, bin_code_text, pref_version);
		return;
	}
	xmap_class file(path);
	const int versions[] = {pref_version, 0};
	if (file.check_file(bin_code_text, versions, nullptr, nullptr) != pref_version) return;
	// A later line with the same tag replaces an earlier one.
	while (file.mCrt < file.mEnd) {
		std::string tag = file.read_token();
		prefs_map[tag] = file.read_rest();
		file.skip_eol();
	}
}

int scan_class::fetch_or_get(const std::string& value, std::string& out, const std::string& tag)
{
	if (opr_typ) {
		ouf << tag << " " << value << "\n";
		return 0;
	}
	std::string option = "--pref:" + tag;
	if (cmdline.has_option(option.c_str())) {
		out = cmdline.get_option(option.c_str());
		return 1;
	}
	auto found = prefs_map.find(tag);
	if (found == prefs_map.end()) return 0;
	out = found->second;
	return 1;
}

// Optional sign and digits, stopping at the first other character; anything else reads as 0.
static int decimal(const std::string& text)
{
	long v = strtol(text.c_str(), nullptr, 10);
	return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : (int)v;
}

struct pref_bind_struct {
	const char* tag;
	int* int_var;
	std::string* text_var;
};

void pref_class::IO_set(int which, int write)
{
	if (which != 11) __MACIBM_alert(0, "Unknown preference file!", std::to_string(which), "", "", t_exit, unit, __LINE__);
	std::string path;
	get_OS_abs_path(4, path);
	scan_class scan(path + "Velmora Installer.prf", write);

	const pref_bind_struct binds[] = {
		{"_use_max_cpu", &stg.use_max_cpu, nullptr},
		{"_rename_folder", &stg.rename_folder, nullptr},
		{"_stream_count", &stg.stream_count, nullptr},
		{"_log_actions", &stg.log_actions, nullptr},
		{"_always_ask_dir", &stg.always_ask_dir, nullptr},
		{"_dest_dir_path", nullptr, &dest_dir_path},
		{"_proxy_host", nullptr, &http.ProxyHost},
		{"_proxy_port", nullptr, &http.ProxyPort_str},
		{"_proxy_port_int", &http.ProxyPort_int, nullptr},
	};
	for (const pref_bind_struct& b : binds) {
		if (b.int_var) {
			std::string got;
			if (scan.fetch_or_get(write ? std::to_string(*b.int_var) : "", got, b.tag)) *b.int_var = decimal(got);
		} else if (!write || !b.text_var->empty()) {
			// Reading leaves the variable alone when the tag is absent.
			scan.fetch_or_get(*b.text_var, *b.text_var, b.tag);
		}
	}
	if (write) ouf.close();
}
