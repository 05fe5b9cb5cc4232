#pragma once
// The path convention and the file-system operations every part of the program goes through.
// Operations return 0 or an error code (runtime error numbers, or the codes 20001 to 20012 below);
// they never raise alerts for failures of the file system: the caller decides what the user sees.
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

struct error_msg_info {
	int err;
	const char* msg;
};
extern const error_msg_info kErrMsgs[]; // ended by a row whose msg is null

// Where the latest failed file or archive operation happened, for the log lines of the extractors.
extern thread_local std::string sErrFile; // per thread: signatures are also taken on workers
extern thread_local int sErrLine;
// Records the failure location and hands the code back, so a failing call site reads
// `return set_err_loc(errno, "IO_UTILS", __LINE__);`.
int set_err_loc(int err, const char* unit, int line);

// The one shared output file: ouf_open opens it and writes the header, the writer closes it.
extern std::ofstream ouf;

enum { bin_code_binary = 10000, bin_code_text = 10001 };
enum { max_path_len = 499 };

// True for a path that starts with a drive prefix such as `C:\`; such a prefix keeps its backslash.
bool has_drive_prefix(const std::string& path);
// A backslash or colon where the convention wants '/' (see set_path_to_right_dirchars).
bool has_foreign_separator(const std::string& path);
void set_path_to_right_dirchars(std::string& path);
void get_file_with_path(std::string& file, const std::string& path);
void get_path_with_path(std::string& folder, const std::string& path);
void get_OS_abs_path(int kind, std::string& out_path);
void check_len(const std::string& text);

int delete_file(std::string nuke_path);
int unlock_file(const std::string& path);
int rename_file(const std::string& dir_name, const std::string& old_name, const std::string& new_name);
int make_folder(const std::string& inFolder);
int show_make_dir_err(int err);
int show_del_err(int err);
std::string error_str(int val);

int opensave_getitems(const std::string& wrk_path, int file_type, std::vector<std::string>& out_files,
                      std::vector<int>& out_file_types);
int opensave_takeit(const std::string& in_work_path, const std::string& in_file_name, int req_file_type,
                    int& act_file_type);

int ouf_open(std::string rel_path, int bin_code, int version);

// False for an archive entry name that would land outside the folder it is extracted into: empty,
// absolute, or with a `..` component.
bool entry_name_stays_inside(const std::string& name);

// An output file written under a hidden temporary name in its target's folder and renamed over the
// target only after a complete write, so a failed write never leaves a partial file or loses the
// old one. The temporary file is removed unless `commit` succeeded.
class replace_file_class {
public:
	explicit replace_file_class(const std::string& target);
	~replace_file_class();
	replace_file_class(const replace_file_class&) = delete;
	replace_file_class& operator=(const replace_file_class&) = delete;

	int open();                               // 0 or the runtime's error number
	int write(const void* data, size_t size); // 0 or the runtime's error number of the failed write
	int commit();                             // closes and renames over the target: 0 or error number

private:
	std::string target_path;
	std::string part_path;
	int fd = -1;
	void discard();
};
