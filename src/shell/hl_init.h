#pragma once
// Start-up of the shell: the diagnostics log, display mode, window and OpenGL context.
#include <fstream>
#include <ostream>
#include <string>

extern std::ofstream xer;         // the diagnostics log Log.txt
extern std::string xer_path;      // its full path once it is open; the crash handler appends to it
extern std::string app_path;      // base folder for relative paths; left empty
extern int g_case_sensitive;
extern int ogl_inited;            // the context exists and the first top window is set up
extern int have_created_ibm_win;
extern int g_mon_x_res_now, g_mon_y_res_now;
extern int hres_orig, vres_orig, cres_orig, sres_orig;
extern int counter_now;

// The log for the calling thread. Log.txt belongs to the main thread: a worker writes into text
// of its own, which it hands over (xer_take_held) for the main thread to write.
std::ostream& xer_here();
std::string xer_take_held();

void MACIBM_init(int argc, const char* argv[]);
void MACIBM_set_app_path(std::string& path);
void MACIBM_setres(int change);
int MACIBM_make_context(int monitor);
void MACIBM_nuke_context(int monitor);
void* MACIBM_make_context_loader();
int MACIBM_set_context_loader(void* main_context);
void MACIBM_show_init(const std::string& message, const float* fraction);

// The program's name and version as the log header and the HTTP client give them.
constexpr const char* app_version_text = "Velmora 9.00 Beta-25";
constexpr int app_version_num = 90025;
