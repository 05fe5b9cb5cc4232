#include "platform/sys_files.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "runtime/UTL_cmdline.h"

static std::string with_slash(std::string s)
{
	if (s.empty() || s.back() != '/') s += '/';
	return s;
}

static std::string env_or(const char* name, const std::string& fallback)
{
	const char* v = getenv(name);
	return (v && *v) ? std::string(v) : fallback;
}

static bool is_dir(const std::string& p)
{
	struct stat st;
	return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string sys_program_folder()
{
	char buf[PATH_MAX];
	ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
	if (n <= 0) return "./";
	std::string exe(buf, n);
	return exe.substr(0, exe.rfind('/') + 1);
}

std::string sys_home_folder() { return with_slash(env_or("HOME", "/")); }

std::string sys_desktop_folder()
{
	std::string d = env_or("XDG_DESKTOP_DIR", "");
	if (!d.empty()) return with_slash(d);
	std::string home = sys_home_folder();
	if (is_dir(home + "Desktop")) return home + "Desktop/";
	return home;
}

std::string sys_temp_folder() { return with_slash(env_or("TMPDIR", "/tmp")); }

std::string sys_prefs_folder() { return with_slash(env_or("XDG_CONFIG_HOME", sys_home_folder() + ".config")); }

std::string sys_make_private_folder(const std::string& parent, const std::string& prefix)
{
	std::string templ = parent + prefix + "XXXXXX";
	return mkdtemp(templ.data()) ? templ + "/" : std::string();
}

bool sys_free_space(const std::string& path, uint64_t& bytes)
{
	// The destination may not exist yet: measure the nearest folder above it that does.
	std::string p = path;
	while (!p.empty() && !is_dir(p)) {
		if (p.back() == '/') p.pop_back();
		size_t cut = p.rfind('/');
		p = (cut == std::string::npos) ? std::string() : p.substr(0, cut + 1);
	}
	struct statvfs vs;
	if (p.empty() || statvfs(p.c_str(), &vs) != 0) return false;
	bytes = uint64_t(vs.f_bavail) * vs.f_frsize;
	return true;
}

// Mount points in /proc/self/mountinfo escape blanks and backslashes as octal.
static std::string unescape_mount(const std::string& s)
{
	std::string out;
	for (size_t i = 0; i < s.size(); ++i) {
		if (s[i] == '\\' && i + 3 < s.size() && isdigit((unsigned char)s[i + 1])) {
			out += char(std::stoi(s.substr(i + 1, 3), nullptr, 8));
			i += 3;
		} else {
			out += s[i];
		}
	}
	return out;
}

std::vector<sys_drive_struct> sys_drives()
{
	std::vector<sys_drive_struct> drives;
	std::ifstream in("/proc/self/mountinfo");
	std::string line;
	while (std::getline(in, line)) {
		// id parent major:minor root mountpoint options [optional...] - fstype source superopts
		std::istringstream ss(line);
		std::string id, parent, dev, root, mount, field;
		ss >> id >> parent >> dev >> root >> mount;
		while (ss >> field && field != "-") {}
		std::string fstype, source;
		ss >> fstype >> source;
		bool optical = fstype == "iso9660" || fstype == "udf" || source.rfind("/dev/sr", 0) == 0;
		drives.push_back({with_slash(unescape_mount(mount)), optical ? sys_drive_cdrom : sys_drive_fixed});
	}
	std::string media = cmdline.get_option("--media");
	if (!media.empty()) drives.push_back({with_slash(media), sys_drive_cdrom});
	return drives;
}
