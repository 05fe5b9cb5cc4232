#pragma once
// Alerts, the shell's text table, number formatting and the orderly end of the program.
#include <string>

enum { t_alert = 1, t_exit = 2 };

// Shows (or logs) up to four lines; kind t_exit never returns. `file` is the raising unit's name
// without extension, `line` its source line.
void __MACIBM_alert(int close_to, const std::string& stl_s_1, const std::string& stl_s_2,
                    const std::string& stl_s_3, const std::string& stl_s_4, int type,
                    const char* file, int line);
void MACIBM_finishup(int is_normal_exit);
void int_to_str(int num, char* str, int min_digits, int show_plus);
void go_to_URL(const std::string& url_str);

class stls_class {
public:
	std::string win_name;
	std::string text[1800];
	std::string ref_apt_stl;
	std::string help_message;
	std::string verbal_string;
	float verbal_timeout = 0;
	std::string afl_path_rel, wpn_path_rel, fol_name_mod;
	signed char has_text_disp = 0, show_text_disp = 0;
	std::string buff_text_disp;
	signed char has_checklist = 0, show_checklist = 0;
	std::string buff_checklist[400];
};

extern stls_class stls;
extern int in_alert;
