// The network build's directory file: fetched with the marker file from the chosen mirror into the
// temporary folder, or from another mirror after a failure, with the failure shown meanwhile.
#include "installer/net_directory.h"

#include "installer/stg.h"
#include "mirror_fixture.h"
#include "net/http.h"
#include "runtime/xtim.h"
#include "support/script_server.h"

namespace {

class net_directory_test : public mirror_test {
protected:
	static void SetUpTestSuite() { web = new nginx_fixture(); }
	static void TearDownTestSuite()
	{
		delete web;
		web = nullptr;
	}
	static nginx_fixture* web;

	void SetUp() override
	{
		mirror_test::SetUp();
		author({{900, {{"readme.txt", "read me"}, {"Aircraft/a.acf", "plane"}}}});
		directory_text = read_file_of(disc + name + "/directory.txt.zip");
	}

	// The directory file inside the disc's zip, as the fetch should leave it in the temporary folder.
	std::string read_file_of(const std::string& zip)
	{
		std::string out = box.path("expected/");
		EXPECT_EQ(run_shell("unzip -q -o " + shell_quote(zip) + " -d " + shell_quote(out)), 0);
		return box.read("expected/directory.txt");
	}

	// The fetch ended with the directory file in place and nothing else of it left behind.
	void expect_fetched()
	{
		EXPECT_EQ(stg.dir_scan, 1);
		EXPECT_EQ(stg.got_404, 0);
		EXPECT_EQ(install_name, name);
		EXPECT_EQ(box.read("temp/directory.txt"), directory_text);
		EXPECT_FALSE(box.exists("temp/dvd_version.txt"));
		EXPECT_FALSE(box.exists("temp/directory.txt.zip"));
		EXPECT_EQ(http.down[1], nullptr);
	}

	std::string directory_text;
};
nginx_fixture* net_directory_test::web = nullptr;

TEST_F(net_directory_test, comes_from_the_chosen_mirror)
{
	publish(*web, "/good/");
	use_mirrors({{web->server(), "/good/"}});
	fetch_directory(5000);
	expect_fetched();
	EXPECT_EQ(requests_for(web->access_log(), "/good/dvd_version.txt", 200), 1);
	EXPECT_EQ(requests_for(web->access_log(), "/good/directory.txt.zip", 200), 1);
	net_directory_step(); // the screen stops calling once it is in; a stray call fetches nothing
	EXPECT_EQ(http.down[1], nullptr);
}

TEST_F(net_directory_test, without_servers_nothing_is_fetched)
{
	stg.num_servers = 0;
	net_directory_step();
	EXPECT_EQ(stg.dir_scan, 0);
	EXPECT_EQ(stg.got_404, 0);
	for (int o = 0; o < http_slots; ++o) EXPECT_EQ(http.down[o], nullptr) << o;
}

// The first mirror fails in one way or another: the failure is shown with the path that failed,
// and another mirror is tried until one serves both files.
TEST_F(net_directory_test, a_failing_mirror_is_shown_and_another_one_tried)
{
	publish(*web, "/two/");
	struct {
		const char* what;
		std::string prefix;
		std::set<std::string> missing;
		std::string marker, directory; // replaced contents, when not empty
		bool refused;
		std::string failing;
	} cases[] = {
		{"marker missing (404)", "/m1/", {"dvd_version.txt"}, "", "", false, "/m1/dvd_version.txt"},
		{"directory missing (404)", "/m2/", {"directory.txt.zip"}, "", "", false, "/m2/directory.txt.zip"},
		{"marker is a web page", "/m3/", {}, "<html>moved</html>\n", "", false, "/m3/dvd_version.txt"},
		{"directory is not a zip", "/m4/", {}, "", "PK not really", false, "/m4/directory.txt.zip"},
		{"connection refused", "/m5/", {}, "", "", true, "/m5/dvd_version.txt"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		stg.dir_scan = 0;
		stg.sel_server = 0;
		install_name = no_install_name;
		box.write("temp/directory.txt", "left from an earlier run");
		publish(*web, c.prefix, c.missing);
		if (!c.marker.empty()) web->put(c.prefix.substr(1) + "dvd_version.txt", c.marker);
		if (!c.directory.empty()) web->put(c.prefix.substr(1) + "directory.txt.zip", c.directory);
		std::string first = c.refused ? "127.0.0.1:" + std::to_string(free_loopback_port()) : web->server();
		use_mirrors({{first, c.prefix}, {web->server(), "/two/"}});

		fetch_directory(5000, true);
		ASSERT_EQ(stg.got_404, 1);
		EXPECT_EQ(crnt_file_path, c.failing);
		EXPECT_EQ(stg.dir_scan, 0);
		EXPECT_FALSE(box.exists("temp/dvd_version.txt"));
		EXPECT_FALSE(box.exists("temp/directory.txt.zip"));

		// The screen's pulses go on; the first mirror may be drawn again, but lower entries are only
		// preferred, so the second one serves it before long.
		fetch_directory(20000);
		expect_fetched();
		EXPECT_GE(requests_for(web->access_log(), "/two/directory.txt.zip", 200), 1);
	}
	EXPECT_NE(log().find("Cannot use /m3/dvd_version.txt from " + web->server() + ": it is not a marker file\n"), std::string::npos);
	EXPECT_NE(log().find("Cannot use /m4/directory.txt.zip from " + web->server() + ": "), std::string::npos);
}

// A mirror that takes the request and never answers holds nothing up: each call returns, and the
// stall rule ends the download after 30 seconds of the frame clock.
TEST_F(net_directory_test, a_silent_mirror_is_left_after_thirty_seconds)
{
	script_server silent({read_request(), wait_gate()});
	use_mirrors({{silent.server(), "/quiet/"}});
	xtim.real_time = 100;
	for (int call = 0; call < 500 && silent.steps_done() < 1; ++call) fetch_directory(1);
	ASSERT_EQ(silent.steps_done(), 1);
	EXPECT_EQ(silent.request().substr(0, 30), "GET /quiet/dvd_version.txt HTT");
	xtim.real_time = 129.5f;
	fetch_directory(3);
	EXPECT_EQ(stg.got_404, 0);
	EXPECT_NE(http.down[1], nullptr);
	xtim.real_time = 130.5f;
	fetch_directory(1);
	EXPECT_EQ(stg.got_404, 1);
	EXPECT_EQ(crnt_file_path, "/quiet/dvd_version.txt");
	EXPECT_EQ(http.down[1], nullptr);
	EXPECT_EQ(stg.dir_scan, 0);
}

} // namespace
