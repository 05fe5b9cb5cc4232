#include "io/IO_UTILS.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/sys_files.h"
#include "shell/cmnd.h"
#include "shell/hl_alert.h"

static const char* const unit = "IO_UTILS";

const error_msg_info kErrMsgs[] = {
	{0, "No error detected"},
	{1, "Operation not permitted. Perhaps you do not have access to a directory or file system"},
	{2, "No such file or directory"},
	{3, "No such process"},
	{4, "Interrupted system call"},
	{5, "Input/output error"},
	{6, "Device not configured"},
	{7, "Argument list too long"},
	{8, "Exec format error"},
	{9, "Bad file descriptor"},
	{10, "No child processes"},
	{11, "Resource temporarily unavailable"},
	{12, "Out of memory"},
	{13, "Permission denied. Perhaps you do not have access to a directory or file system"},
	{14, "Bad address"},
	{16, "Device busy"},
	{17, "File exists"},
	{18, "Cross-device link"},
	{19, "Operation not supported by device"},
	{20, "Not a directory"},
	{21, "Is a directory"},
	{22, "Invalid argument"},
	{23, "Too many open files in system"},
	{24, "Too many open files"},
	{25, "Inappropriate ioctl for device"},
	{26, "Signal error"},
	{27, "File too large"},
	{28, "No space left on device. Perhaps your hard drive is full"},
	{29, "Illegal seek"},
	{30, "The destination file system is read-only"},
	{31, "Too many links"},
	{32, "Broken pipe"},
	{33, "Numerical argument out of domain"},
	{34, "Result too large"},
	{35, "Resource deadlock avoided"},
	{36, "File name too long"},
	{38, "Function not implemented"},
	{39, "Directory not empty"},
	{40, "File Position Error"},
	{77, "No locks available"},
	{88, "Wide character encoding error"},
	{99, "Unknown error"},
	{20001, "We were unable to open a zip file. It may be missing or damaged"},
	{20002, "We were unable to read from a zip file. It may be missing or damaged"},
	{20003, "We were unable to create a zip file"},
	{20004, "We were unable to write to a zip file. It may be missing or damaged"},
	{20005, "We cannot compress a zip file because its source file resource fork is more than 2 GB. "
	        "The source file is probably damaged"},
	{20006, "We could not open a file to read from it"},
	{20007, "We were unable to connct to the network due to an internal reconnect error"},
	{20008, "We wre unable to connect to the network due to a bad state error"},
	{20009, "We could not allocate a connection to the network"},
	{20010, "We could not write the incoming file from the web to disk"},
	{20011, "We could not find the server over the network"},
	{20012, "Part of the downloaded zip file is corrupted (the resource fork header is bad)"},
	{0, nullptr},
};

thread_local std::string sErrFile;
thread_local int sErrLine = 0;
std::ofstream ouf;

int set_err_loc(int err, const char* unit_name, int line)
{
	sErrFile = unit_name;
	sErrLine = line;
	return err;
}

static bool is_dirchar(char c) { return c == '/' || c == '\\'; }

bool has_drive_prefix(const std::string& path)
{
	return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

// Where a path may still hold a foreign separator: nowhere in a path from this system, whose backslashes and
// colons are ordinary name characters; after the drive prefix of a drive-style path.
static size_t foreign_separators_from(const std::string& path)
{
	if (!path.empty() && path[0] == '/') return path.size();
	return has_drive_prefix(path) ? 3 : 0;
}

bool has_foreign_separator(const std::string& path)
{
	return path.find_first_of("\\:", foreign_separators_from(path)) != std::string::npos;
}

void set_path_to_right_dirchars(std::string& path)
{
	for (size_t i = foreign_separators_from(path); i < path.size(); ++i)
		if (path[i] == '\\' || path[i] == ':') path[i] = '/';
}

void get_file_with_path(std::string& file, const std::string& path)
{
	if (path.empty()) {
		file.clear();
		return;
	}
	size_t i = path.size() - 1;
	if (path.size() >= 3 && is_dirchar(path[i])) --i;
	while (i >= 1 && !is_dirchar(path[i])) --i;
	file = is_dirchar(path[i]) ? path.substr(i + 1) : path;
}

void get_path_with_path(std::string& folder, const std::string& path)
{
	// The root itself has no folder part: `C:\` is three characters, `/` one.
	size_t root_len = (!path.empty() && path[0] == '/') ? 1 : 3;
	if (path.size() <= root_len) {
		folder = path;
		return;
	}
	std::string file;
	get_file_with_path(file, path);
	folder = path.substr(0, path.size() - file.size());
}

void get_OS_abs_path(int kind, std::string& out_path)
{
	switch (kind) {
	case 0: out_path = sys_program_folder(); break;
	case 1: out_path = sys_desktop_folder(); break;
	case 2: out_path = sys_home_folder(); break;
	case 3: out_path = sys_temp_folder(); break;
	case 4: out_path = sys_prefs_folder(); break;
	default:
		__MACIBM_alert(0, "Bad get_OS_abs_path kind!", std::to_string(kind), "", "", t_exit, unit, __LINE__);
	}
	set_path_to_right_dirchars(out_path);
}

void check_len(const std::string& text)
{
	if (text.size() > max_path_len) __MACIBM_alert(0, "String too long!", text, "", "", t_exit, unit, __LINE__);
}

int delete_file(std::string nuke_path)
{
	if (nuke_path.empty()) return ENOENT;
	int rc;
	if (nuke_path.back() == '/') {
		nuke_path.pop_back();
		rc = rmdir(nuke_path.c_str());
	} else {
		rc = unlink(nuke_path.c_str());
	}
	return rc == 0 ? 0 : set_err_loc(errno, unit, __LINE__);
}

// "Read-only" here is a file its owner may not write.
int unlock_file(const std::string& path)
{
	struct stat st;
	if (stat(path.c_str(), &st) != 0) return set_err_loc(errno, unit, __LINE__);
	if (st.st_mode & S_IWUSR) return 0;
	if (chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return set_err_loc(errno, unit, __LINE__);
	return 0;
}

int rename_file(const std::string& dir_name, const std::string& old_name, const std::string& new_name)
{
	std::string from = dir_name + old_name, to = dir_name + new_name;
	// A plain rename would silently replace an existing file or empty folder at the target.
	if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
	if (errno != EINVAL) return set_err_loc(errno, unit, __LINE__);
	// The file system cannot refuse the replacement itself.
	struct stat st;
	if (lstat(to.c_str(), &st) == 0) return set_err_loc(EEXIST, unit, __LINE__);
	return rename(from.c_str(), to.c_str()) == 0 ? 0 : set_err_loc(errno, unit, __LINE__);
}

int make_folder(const std::string& inFolder)
{
	std::string folder = inFolder;
	if (!folder.empty() && folder.back() == '/') folder.pop_back();
	return mkdir(folder.c_str(), 0777) == 0 ? 0 : set_err_loc(errno, unit, __LINE__);
}

int show_make_dir_err(int err) { return (err == 0 || err == 183 || err == EEXIST) ? 0 : 1; }

int show_del_err(int) { return 0; }

std::string error_str(int val)
{
	for (const error_msg_info* row = kErrMsgs; row->msg; ++row)
		if (row->err == val) return row->msg;
	const char* sys = strerrordesc_np(val);
	return sys ? sys : "";
}

// File kinds of the shared file dialogs, by upper-case suffix. The installer relies only on 0 and 1.
struct suffix_type_struct {
	const char* suffix;
	int type;
};
static const suffix_type_struct suffix_types[] = {
	{".BMP", 2}, {".PNG", 2}, {".WAV", 3}, {".OBJ", 4}, {".FMS", 5}, {".RAW", 6}, {".TXT", 19},
};

static std::string upper(std::string s)
{
	for (char& c : s) c = (char)toupper((unsigned char)c);
	return s;
}

static bool is_panel_image_rejected(const std::string& path)
{
	static const std::string panels = upper(std::string("Resources/bitmaps/cockpit/-panels-/").substr(0, 32));
	std::string up = upper(path);
	if (up.compare(0, panels.size(), panels) == 0) return true;
	if (up.size() < 6) return false;
	std::string tail = up.substr(up.size() - 6, 3);
	return tail == "-1." || tail == "-2." || tail == "-3." || tail == "-4.";
}

int opensave_takeit(const std::string& in_work_path, const std::string& in_file_name, int req_file_type,
                    int& act_file_type)
{
	std::string suffix = upper(in_file_name.size() > 4 ? in_file_name.substr(in_file_name.size() - 4) : in_file_name);
	for (const suffix_type_struct& st : suffix_types)
		if (suffix == st.suffix) act_file_type = st.type;
	if (req_file_type == 12 && is_panel_image_rejected(in_work_path + in_file_name)) return 0;
	if (in_file_name.empty() || in_file_name[0] == '.') return 0;
	return act_file_type == 1 || act_file_type == req_file_type || req_file_type == 0 ||
	       (req_file_type == 12 && act_file_type == 2);
}

static bool less_ignoring_case(const std::string& a, const std::string& b)
{
	return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
		return tolower((unsigned char)x) < tolower((unsigned char)y);
	});
}

static bool is_folder_entry(const std::string& folder, const dirent* ent)
{
	if (ent->d_type != DT_UNKNOWN && ent->d_type != DT_LNK) return ent->d_type == DT_DIR;
	struct stat st;
	return stat((folder + ent->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int opensave_getitems(const std::string& wrk_path, int file_type, std::vector<std::string>& out_files,
                      std::vector<int>& out_file_types)
{
	out_files.clear();
	out_file_types.clear();
	std::vector<std::pair<std::string, int>> items;
	if (file_type == 20 || file_type == 21) {
		// Commands are listed like files: the next component of their names under the path.
		std::vector<std::string> commands;
		if (file_type == 21) cmnd.get_cmds_in_path(wrk_path, commands);
		for (std::string& name : commands) {
			bool folder = !name.empty() && is_dirchar(name.back());
			if (folder) name.pop_back();
			items.emplace_back(name, folder ? 1 : file_type);
		}
	} else {
		if (wrk_path.size() > 3 && !is_dirchar(wrk_path.back()))
			__MACIBM_alert(0, "Working path does not appear to be a directory!",
			               "This is not consistent with my labelling practices!",
			               "I need to end all paths with the directory indicator!", wrk_path, t_exit, unit, __LINE__);
		if (DIR* dir = opendir(wrk_path.c_str())) {
			while (const dirent* ent = readdir(dir)) {
				int type = is_folder_entry(wrk_path, ent) ? 1 : 0;
				if (opensave_takeit(wrk_path, ent->d_name, file_type, type)) items.emplace_back(ent->d_name, type);
			}
			closedir(dir);
		}
	}
	// Ascending without regard to case; names equal but for case keep a fixed order by their bytes.
	std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
		if (less_ignoring_case(a.first, b.first)) return true;
		if (less_ignoring_case(b.first, a.first)) return false;
		return a.first < b.first;
	});
	for (auto& [name, type] : items) {
		out_files.push_back(std::move(name));
		out_file_types.push_back(type);
	}
	return (int)out_files.size();
}

static bool ouf_try(const std::string& path, int bin_code, int version)
{
	ouf.close();
	ouf.clear();
	ouf.open(path, bin_code == bin_code_binary ? std::ios::out | std::ios::trunc | std::ios::binary
	                                           : std::ios::out | std::ios::trunc);
	if (bin_code == bin_code_binary) {
		unsigned char head[5] = {'i', (unsigned char)version, (unsigned char)(version >> 8),
		                         (unsigned char)(version >> 16), (unsigned char)(version >> 24)};
		ouf.write((const char*)head, sizeof head);
	} else {
		ouf << std::fixed << "I\n" << version << " version" << "\n";
	}
	return ouf.good();
}

int ouf_open(std::string rel_path, int bin_code, int version)
{
	if (bin_code != bin_code_binary && bin_code != bin_code_text)
		__MACIBM_alert(0, "Bad ouf_open type!", rel_path, "", "", t_exit, unit, __LINE__);
	if (rel_path.size() > 3)
		for (size_t i = rel_path.size() - 3; i < rel_path.size(); ++i)
			if (rel_path[i] >= 'A' && rel_path[i] <= 'Z') rel_path[i] = char(rel_path[i] - 'A' + 'a');
	check_len(rel_path);
	if (ouf_try(rel_path, bin_code, version)) return 1;
	std::string folder;
	get_path_with_path(folder, rel_path);
	make_folder(folder);
	if (ouf_try(rel_path, bin_code, version)) return 1;
	__MACIBM_alert(0,
	               "I could not save the file! Could the directory that the file sits in be missing? Or flagged "
	               "as READ-ONLY by the operating system? (Windows machines typically do this).",
	               rel_path, "Could the file be flagged as read-only? This happens in Windows if you copy it from a CD!",
	               "Try putting this app in the background and then flag the file as NOT read-only, or creating "
	               "the folder listed in the path above.",
	               t_alert, unit, __LINE__);
	return 0;
}

bool entry_name_stays_inside(const std::string& name)
{
	if (name.empty() || name[0] == '/') return false;
	for (size_t start = 0; start <= name.size();) {
		size_t end = name.find('/', start);
		if (end == std::string::npos) end = name.size();
		if (name.compare(start, end - start, "..") == 0) return false;
		start = end + 1;
	}
	return true;
}

replace_file_class::replace_file_class(const std::string& target) : target_path(target) {}

replace_file_class::~replace_file_class() { discard(); }

void replace_file_class::discard()
{
	if (fd >= 0) close(fd);
	fd = -1;
	if (!part_path.empty()) unlink(part_path.c_str());
	part_path.clear();
}

int replace_file_class::open()
{
	std::string folder, name;
	get_path_with_path(folder, target_path);
	get_file_with_path(name, target_path);
	// Hidden, so a folder listing never shows it; the name is cut so the suffix cannot overflow it.
	std::string base = folder + "." + name.substr(0, 200) + ".part" + std::to_string(getpid()) + "-";
	for (int attempt = 0;; ++attempt) {
		part_path = base + std::to_string(attempt);
		fd = ::open(part_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
		if (fd >= 0) return 0;
		int err = errno;
		part_path.clear();
		if (err != EEXIST || attempt == 100) return set_err_loc(err, unit, __LINE__);
	}
}

int replace_file_class::write(const void* data, size_t size)
{
	const char* p = (const char*)data;
	while (size > 0) {
		ssize_t n = ::write(fd, p, size);
		if (n < 0 && errno == EINTR) continue;
		if (n <= 0) return set_err_loc(n < 0 ? errno : ENOSPC, unit, __LINE__);
		p += n;
		size -= (size_t)n;
	}
	return 0;
}

int replace_file_class::commit()
{
	int rc = close(fd);
	fd = -1;
	if (rc != 0) return set_err_loc(errno, unit, __LINE__);
	if (rename(part_path.c_str(), target_path.c_str()) != 0) return set_err_loc(errno, unit, __LINE__);
	part_path.clear();
	return 0;
}
