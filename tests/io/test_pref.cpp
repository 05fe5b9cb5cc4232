// The installer preference file: reading, writing and command-line overrides.
#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/pref.h"
#include "io_fixture.h"
#include "net/http.h"
#include "runtime/UTL_cmdline.h"

class pref_test : public io_test {
protected:
	const std::string file = "home/.config/Velmora Installer.prf";

	// The start values of a run.
	void SetUp() override
	{
		io_test::SetUp();
		stg = stg_class();
		stg.rename_folder = 1;
		dest_dir_path = "/home/u/Velmora 9/";
		http = http_class();
	}
	void read_with(const std::string& body)
	{
		box.write(file, "I\n9002 version\n" + body);
		pref.IO_set(11, 0);
	}
};

TEST_F(pref_test, written_file_lists_every_tag_in_order)
{
	pref.IO_set(11, 1);
	EXPECT_EQ(box.read(file), "I\n9002 version\n_use_max_cpu 0\n_rename_folder 1\n_stream_count 0\n_log_actions 0\n"
	                          "_always_ask_dir 0\n_dest_dir_path /home/u/Velmora 9/\n_proxy_port_int 0\n");
	EXPECT_FALSE(ouf.is_open());
}

TEST_F(pref_test, values_survive_a_write_and_read)
{
	stg.use_max_cpu = 1;
	stg.stream_count = -4;
	stg.log_actions = 1;
	stg.always_ask_dir = 1;
	stg.rename_folder = 0;
	dest_dir_path = "/data/My Sim/ ";
	http.ProxyHost = "proxy.example";
	http.ProxyPort_str = "3128";
	http.ProxyPort_int = 3128;
	pref.IO_set(11, 1);

	SetUp();
	pref.IO_set(11, 0);
	EXPECT_EQ(stg.use_max_cpu, 1);
	EXPECT_EQ(stg.rename_folder, 0);
	EXPECT_EQ(stg.stream_count, -4);
	EXPECT_EQ(stg.log_actions, 1);
	EXPECT_EQ(stg.always_ask_dir, 1);
	EXPECT_EQ(dest_dir_path, "/data/My Sim/ ");
	EXPECT_EQ(http.ProxyHost, "proxy.example");
	EXPECT_EQ(http.ProxyPort_str, "3128");
	EXPECT_EQ(http.ProxyPort_int, 3128);
}

TEST_F(pref_test, missing_or_foreign_files_leave_the_start_values)
{
	for (const char* content : {"", "I\n9002 version\n", "I\n9001 version\n_use_max_cpu 1\n_rename_folder 0\n",
	                            "X\n9002 version\n_use_max_cpu 1\n"}) {
		if (*content) box.write(file, content);
		pref.IO_set(11, 0);
		EXPECT_EQ(stg.use_max_cpu, 0) << content;
		EXPECT_EQ(stg.rename_folder, 1) << content;
		EXPECT_EQ(dest_dir_path, "/home/u/Velmora 9/") << content;
	}
}

TEST_F(pref_test, entry_syntax)
{
	read_with("_use_max_cpu 1\r\n\r\n  _use_max_cpu\t0\n_dest_dir_path    /a b/c/ \n_LOG_ACTIONS 1\n"
	          "_stream_count many\n_always_ask_dir 7tail\n_unknown 5\n_proxy_port_int -3");
	EXPECT_EQ(stg.use_max_cpu, 0);
	EXPECT_EQ(dest_dir_path, "/a b/c/ ");
	EXPECT_EQ(stg.log_actions, 0);
	EXPECT_EQ(stg.stream_count, 0);
	EXPECT_EQ(stg.always_ask_dir, 7);
	EXPECT_EQ(http.ProxyPort_int, -3);
}

TEST_F(pref_test, command_line_overrides_the_file)
{
	cmdline.options["--pref:_stream_count"] = "2";
	cmdline.options["--pref:_proxy_host"] = "cache.lan";
	read_with("_stream_count 4\n_proxy_host other\n");
	EXPECT_EQ(stg.stream_count, 2);
	EXPECT_EQ(http.ProxyHost, "cache.lan");

	SetUp();
	cmdline.options["--pref:_stream_count"] = "2";
	pref.IO_set(11, 0);
	EXPECT_EQ(stg.stream_count, 2);
}

TEST_F(pref_test, empty_text_values_are_not_written)
{
	dest_dir_path.clear();
	http.ProxyPort_str = "8080";
	pref.IO_set(11, 1);
	std::string written = box.read(file);
	EXPECT_EQ(written.find("_dest_dir_path"), std::string::npos);
	EXPECT_EQ(written.find("_proxy_host"), std::string::npos);
	EXPECT_NE(written.find("\n_proxy_port 8080\n_proxy_port_int 0\n"), std::string::npos);
}

TEST_F(pref_test, unwritable_folder_alerts_and_goes_on)
{
	setenv("XDG_CONFIG_HOME", box.path("no/such").c_str(), 1);
	pref.IO_set(11, 1);
	EXPECT_NE(log_text().find("I could not save the file!"), std::string::npos);
	EXPECT_FALSE(box.exists("no"));
}
