// Unattended installs: the real program, headless, with its exit codes and what it prints.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/disc_fixture.h"
#include "support/program.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

class unattended_test : public ::testing::Test {
protected:
	void SetUp() override
	{
		unsetenv("DISPLAY");
		unsetenv("WAYLAND_DISPLAY");
	}
	// Runs the installer on the disc and the destination with more options; its exit code.
	int install(std::vector<std::string> options)
	{
		options.push_back("--unattended");
		options.push_back("--media=" + box.path("disc"));
		options.push_back(dest);
		pid_t pid = start_program(program_path("velmora-installer"), options, box.path("out.txt"));
		return wait_program(pid, 120);
	}
	std::string output() const { return box.read("out.txt"); }
	void author(const std::map<std::string, std::string>& files)
	{
		for (const auto& [rel, content] : files) box.write("release/" + rel, content);
		ASSERT_EQ(run_shell(shell_quote(program_path("tools/mkdisc/velmora-mkdisc")) + " --name 'Velmora 9.00' --release 900=" +
		                    shell_quote(box.path("release")) + " " + shell_quote(box.path("disc")) + " >/dev/null"),
		          0);
	}

	sandbox_class box;
	std::string dest = box.path("Velmora 9.00/");
};

TEST_F(unattended_test, installs_then_finds_it_installed)
{
	author({{"Resources/a.txt", "alpha"}, {"Global Scenery/+40-120/t.dsf", "tile"}, {"Velmora", "program"}});
	ASSERT_EQ(install({"--accept_eula"}), 0) << output();
	EXPECT_NE(output().find("Installation Complete!\n"), std::string::npos) << output();
	EXPECT_NE(output().find("Installed 3 files, "), std::string::npos) << output();
	EXPECT_EQ(box.read("Velmora 9.00/Global Scenery/+40-120/t.dsf"), "tile");
	EXPECT_EQ(box.read("Velmora 9.00/Velmora"), "program");
	ASSERT_EQ(install({"--accept_eula"}), 0) << output();
	EXPECT_NE(output().find("Velmora is already installed at this location."), std::string::npos) << output();
	EXPECT_NE(box.read("home/.config/Velmora Installer.prf").find("_dest_dir_path " + dest), std::string::npos);
}

TEST_F(unattended_test, modified_files_are_kept_or_replaced_as_asked)
{
	author({{"Resources/a.txt", "alpha"}, {"Resources/b.txt", "beta"}});
	box.write("Velmora 9.00/Resources/a.txt", "mine");
	box.write("Velmora 9.00/Resources/b.txt", "mine too");
	ASSERT_EQ(install({"--accept_eula"}), 0) << output();
	EXPECT_EQ(box.read("Velmora 9.00/Resources/a.txt"), "mine");
	EXPECT_EQ(box.read("Velmora 9.00/Resources/b.txt"), "mine too");
	ASSERT_EQ(install({"--accept_eula", "--modified=overwrite"}), 0) << output();
	EXPECT_EQ(box.read("Velmora 9.00/Resources/a.txt"), "alpha");
	EXPECT_EQ(box.read("Velmora 9.00/Resources/b.txt"), "beta");
	EXPECT_EQ(install({"--accept_eula", "--modified=sometimes"}), 1);
	EXPECT_NE(output().find("The option --modified takes keep or overwrite."), std::string::npos) << output();
}

TEST_F(unattended_test, every_way_it_can_end_has_its_code)
{
	author({{"Resources/a.txt", "alpha"}});
	EXPECT_EQ(install({}), 4) << output();
	EXPECT_NE(output().find("--accept_eula"), std::string::npos);
	EXPECT_FALSE(box.exists("Velmora 9.00/Resources/a.txt"));

	// A damaged archive on the disc.
	box.write("disc/Velmora 9.00/Velmora 9.00/Resources/a.txt.zip", "not a zip archive");
	EXPECT_EQ(install({"--accept_eula"}), 1) << output();
	EXPECT_NE(output().find("The installation was not completed because an error occurred."), std::string::npos) << output();

	// A disc whose one file needs more space than any disk has.
	fs::remove_all(box.path("disc"));
	disc_fixture_class disc(box.path("disc/"), "Velmora 9.00");
	disc.write_marker();
	disc.write_directory(directory_header() + "DIR Velmora 9.00/\n" + file_line(0, 900, md5_of("x"), "huge.dat", 1, 2000000000));
	disc.add_file("Velmora 9.00/huge.dat", "x");
	EXPECT_EQ(install({"--accept_eula"}), 3) << output();
	EXPECT_NE(output().find("You don't have enough disk space to install this!"), std::string::npos) << output();

	fs::remove_all(box.path("disc"));
	EXPECT_EQ(install({"--accept_eula"}), 2) << output();
	EXPECT_NE(output().find("No readable install disc was found."), std::string::npos) << output();
}

} // namespace
