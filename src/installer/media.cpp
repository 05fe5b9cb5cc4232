#include "installer/media.h"

#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/xmap.h"
#include "runtime/xtim.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

float next_check_time = -1.0f;
int found_thing = 0;
std::vector<sys_drive_struct> (*media_drives)() = sys_drives;

static const int marker_versions[] = {900, 0};

int check_any(int /*what*/, int force)
{
	if (force) next_check_time = -1.0f;
	if (xtim.real_time < next_check_time) return found_thing;
	next_check_time = xtim.real_time + 3600;
	found_thing = 0;
	int discs = 0;
	for (const sys_drive_struct& drive : media_drives()) {
		if (drive.type != sys_drive_cdrom || !check_dvd(drive.root)) continue;
		found_thing = 1;
		++discs;
	}
	if (discs > 1)
		__MACIBM_alert(0, "I found multiple Velmora CDs in the drives!", "This is bad!",
		               "Pull out whatever CD you are not using now!",
		               "With more than one in, I cannot tell which disc you want to install from.", t_exit,
		               "media_locator", 276);
	return found_thing;
}

int check_dvd(std::string root)
{
	xer << "check_dvd 1! check_path=" << root << "\n";
	xmap_class m(root + "dvd_version.txt");
	xer << "check_dvd 2! check_path=" << root << "dvd_version.txt" << ", m.exists=" << (m.mBegin ? 1 : 0) << "\n";
	int ret = 0;
	if (m.mBegin && m.check_file(bin_code_text, marker_versions, "DVD", nullptr) == 900) {
		xer << "check_dvd 3!\n";
		ret = 1;
	}
	if (ret) dvd_path = root;
	xer << "alldone! dis_path=" << app_path << ", check_path=" << root << ", dvd_path=" << dvd_path << ", ret=" << ret
	    << "\n";
	return ret;
}

static const char version_word[] = "VERSION";

// The cursor is on the word "VERSION" followed by a blank or the end of the line.
static bool at_version_word(const xmap_class& m)
{
	const size_t len = sizeof(version_word) - 1;
	if (size_t(m.mEnd - m.mCrt) < len) return false;
	for (size_t i = 0; i < len; ++i)
		if (m.mCrt[i] != version_word[i]) return false;
	if (size_t(m.mEnd - m.mCrt) == len) return true;
	char after = m.mCrt[len];
	return after == ' ' || after == '\t' || after == '\r' || after == '\n' || after == 0;
}

int read_dvd_version()
{
	return read_version_file(dvd_path + "dvd_version.txt");
}

int read_version_file(const std::string& path)
{
	xmap_class m(path);
	if (!m.mBegin || m.check_file(bin_code_text, marker_versions, "DVD", nullptr) != 900) return 0;
	while (m.mCrt < m.mEnd) {
		m.skip_white();
		if (at_version_word(m)) {
			m.mCrt += sizeof(version_word) - 1;
			install_name = m.read_rest();
			m.skip_eol();
		} else {
			m.skip_line();
		}
	}
	return 1;
}
