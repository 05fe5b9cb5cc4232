// Finding the install disc among the drives and reading the installation's name from it.
#include "core_fixture.h"
#include "installer/media.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"

namespace {

class media_test : public core_test {
protected:
	void SetUp() override
	{
		core_test::SetUp();
		dvd_path.clear();
		install_name = no_install_name;
		drives.clear();
		media_drives = [] { return drives; };
		xtim.real_time = 100;
	}
	// A folder standing in for a drive, holding a marker file with this text (none when empty).
	std::string drive(const std::string& name, const std::string& marker, int type = sys_drive_cdrom)
	{
		std::string root = box.path("drives/" + name + "/");
		box.write("drives/" + name + "/readme.txt", "a data disc");
		if (!marker.empty()) box.write("drives/" + name + "/dvd_version.txt", marker);
		drives.push_back({root, type});
		return root;
	}
	static std::vector<sys_drive_struct> drives;
};
std::vector<sys_drive_struct> media_test::drives;

const std::string good_marker = "I\n900 version\nDVD\nVERSION Velmora 9.00\n";

TEST_F(media_test, only_a_cd_drive_with_a_valid_marker_is_taken_with_its_log_lines)
{
	drive("data", "");
	drive("hard", good_marker, sys_drive_fixed);
	drive("wrong version", "I\n901 version\nDVD\n");
	drive("longer word", "I\n900 version\nDVDX\n");
	std::string disc_root = drive("disc", good_marker);

	EXPECT_EQ(check_any(0, 0), 1);
	EXPECT_EQ(dvd_path, disc_root);
	std::string text = log();
	EXPECT_NE(text.find("check_dvd 1! check_path=" + disc_root + "\n" + "check_dvd 2! check_path=" + disc_root +
	                    "dvd_version.txt, m.exists=1\n" + "check_dvd 3!\n" + "alldone! dis_path=, check_path=" + disc_root +
	                    ", dvd_path=" + disc_root + ", ret=1\n"),
	          std::string::npos);
	std::string data_root = box.path("drives/data/");
	EXPECT_NE(text.find("check_dvd 2! check_path=" + data_root + "dvd_version.txt, m.exists=0\nalldone! dis_path=, check_path=" +
	                    data_root + ", dvd_path=, ret=0\n"),
	          std::string::npos);
	EXPECT_EQ(text.find("check_path=" + box.path("drives/hard/")), std::string::npos); // a hard disk is never tested
}

TEST_F(media_test, a_search_is_cached_for_an_hour_unless_forced)
{
	EXPECT_EQ(check_any(0, 0), 0);
	std::string disc_root = drive("disc", good_marker);
	xtim.real_time = 100 + 3599;
	EXPECT_EQ(check_any(0, 0), 0); // cached
	EXPECT_EQ(dvd_path, "");
	EXPECT_EQ(check_any(0, 1), 1); // forced
	EXPECT_EQ(dvd_path, disc_root);

	drives.clear(); // the disc is taken out
	EXPECT_EQ(check_any(0, 0), 1); // cached again
	xtim.real_time = 100 + 3599 + 3601;
	EXPECT_EQ(check_any(0, 0), 0); // the hour is over
	EXPECT_EQ(check_any(0, 1), 0);
	EXPECT_EQ(dvd_path, disc_root); // a search that finds nothing keeps the disc found before
}

TEST_F(media_test, two_discs_end_the_program)
{
	drive("one", good_marker);
	drive("two", good_marker);
	EXPECT_FATAL_ALERT(check_any(0, 0), "I found multiple Velmora CDs in the drives!", "This is bad!",
	                   "Pull out whatever CD you are not using now!", "(media_locator line 276)");
}

TEST_F(media_test, the_media_option_is_a_cd_drive)
{
	media_drives = sys_drives;
	std::string root = drive("option", good_marker);
	cmdline = UTL_cmdline();
	cmdline.init_win(("--fps_test --media=" + root).c_str());
	EXPECT_EQ(check_any(0, 1), 1);
	EXPECT_EQ(dvd_path, root);
}

TEST_F(media_test, reading_the_name)
{
	const std::pair<std::string, std::string> cases[] = {
		{good_marker, "Velmora 9.00"},
		{"I\n900 version\nDVD\nVERSION  Two Blanks \n", "Two Blanks "},
		{"I\r\n900\r\nDVD\r\n\r\n  VERSION\tFirst\r\nOTHER x\r\nVERSION Last\r\n", "Last"},
		{"I\n900 version\nDVD\nVERSIONS x\nversion y\n", "Not Yet Scanned"},
		{"I\n900 version\nDVD\nVERSION Ends without a line end", "Ends without a line end"},
	};
	for (const auto& [marker, name] : cases) {
		install_name = no_install_name;
		dvd_path = drive("named", marker);
		EXPECT_EQ(read_dvd_version(), 1) << marker;
		EXPECT_EQ(install_name, name) << marker;
	}
}

TEST_F(media_test, an_invalid_marker_is_not_read)
{
	for (const std::string& marker : {std::string("I\n901 version\nDVD\nVERSION x\n"), std::string("I\n900 version\nDVDX\nVERSION x\n"),
	                                  std::string("I\n900 version\nINSTALLER\nVERSION x\n"), std::string()}) {
		install_name = no_install_name;
		box.write("drives/bad/dvd_version.txt", "");
		dvd_path = drive("bad", marker);
		EXPECT_EQ(read_dvd_version(), 0) << marker;
		EXPECT_EQ(install_name, no_install_name);
	}
}

} // namespace
