// The install engine's download path against real mirrors: streams in slots 2 to 5 growing with the
// rate, temporary archives under the temporary folder, another server after a failure, retries with
// no limit, and a schedule reset that ends the transfers in flight.
#include <filesystem>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "installer/stg.h"
#include "io/zip.h"
#include "mirror_fixture.h"
#include "net/http.h"
#include "support/script_server.h"

namespace fs = std::filesystem;

namespace {

class net_engine_test : public mirror_test {
protected:
	void SetUp() override
	{
		mirror_test::SetUp();
		one = std::make_unique<nginx_fixture>();
		two = std::make_unique<nginx_fixture>();
	}

	std::unique_ptr<nginx_fixture> one, two;

	// Both mirrors in the list, the first one without the archives named (paths below the
	// installation folder); the directory file fetched from them.
	void two_mirrors(const std::set<std::string>& missing_on_one)
	{
		std::set<std::string> missing;
		for (const std::string& rel : missing_on_one) missing.insert(archive_of(rel));
		publish(*one, "/one/", missing);
		publish(*two, "/two/");
		use_mirrors({{one->server(), "/one/"}, {two->server(), "/two/"}});
		fetch_directory(5000);
		ASSERT_EQ(stg.dir_scan, 1);
	}

	// A file's archive on a mirror, below the prefix.
	static std::string archive_of(const std::string& rel)
	{
		return name + "/" + rel + (rel.find("Global Scenery") != std::string::npos ? ".7z" : ".zip");
	}
	// The same as the access log shows it.
	static std::string logged(const std::string& prefix, const std::string& rel)
	{
		static const std::map<char, std::string> escapes = {{' ', "%20"}, {'#', "%23"}, {'%', "%25"}, {'?', "%3F"}};
		std::string out = prefix;
		for (char c : archive_of(rel)) out += escapes.count(c) ? escapes.at(c) : std::string(1, c);
		return out;
	}

	// What the temporary folder holds besides the directory file.
	std::vector<std::string> temp_leftovers() const
	{
		std::vector<std::string> out;
		for (const fs::directory_entry& e : fs::directory_iterator(temp_path))
			if (e.path().filename() != "directory.txt") out.push_back(e.path().filename().string());
		return out;
	}
};

// The files of a tree, without its folders.
release_files files_in(const std::map<std::string, std::string>& tree)
{
	release_files out;
	for (const auto& [rel, content] : tree)
		if (content != "<folder>") out[rel] = content;
	return out;
}

TEST_F(net_engine_test, older_installation_is_updated_from_two_mirrors_like_a_fresh_install)
{
	release_files r840 = {
		{"Resources/readme.txt", "read me"},
		{"Old/Deep/dropped.txt", "gone in 900"},
		{"Aircraft/Cessna 172/c172.acf", test_bytes(30000, 1)},
		{"Global Scenery/+40-120/+47-122.dsf", test_bytes(40000, 2)},
		{"Velmora", "program 840"},
	};
	for (int i = 0; i < 12; ++i) r840["Aircraft/fleet/plane " + std::to_string(i) + ".acf"] = test_bytes(8000 + 1000 * i, 10 + i);
	release_files r900 = r840;
	r900.erase("Old/Deep/dropped.txt");
	r900["Aircraft/Cessna 172/c172.acf"] = test_bytes(30000, 101);
	r900["Global Scenery/+40-120/+47-122.dsf"] = test_bytes(40000, 102);
	r900["Velmora"] = "program 900";
	for (int i = 0; i < 16; i += 2) r900["Aircraft/fleet/plane " + std::to_string(i) + ".acf"] = test_bytes(9000 + 700 * i, 200 + i);
	r900["Resources/100% sure #1?.txt"] = "a name a server would misread";
	r900["Velmora-mac"] = "not for this system";
	author({{840, r840}, {900, r900}}, {"2=Velmora", "1=Velmora-mac"});
	const std::set<std::string> missing = {"Aircraft/fleet/plane 14.acf", "Global Scenery/+40-120/+47-122.dsf",
	                                       "Resources/100% sure #1?.txt", "Velmora"};
	two_mirrors(missing);
	ASSERT_EQ(install_name, name);

	dest_dir_path = box.path("fresh/" + name + "/");
	ASSERT_EQ(install(20000), 1);
	const int readme_fetches = requests_for(one->access_log(), logged("/one/", "Resources/readme.txt"), 200) +
	                           requests_for(two->access_log(), logged("/two/", "Resources/readme.txt"), 200);
	EXPECT_GE(readme_fetches, 1);
	std::map<std::string, std::string> fresh = tree_of(dest_dir_path);
	release_files expected = r900;
	expected.erase("Velmora-mac");
	EXPECT_TRUE(files_in(fresh) == expected);
	// Stream k in slot k + 2; how many streams the rate earns depends on how busy the machine is.
	// A download on loopback may also start and end within one call, so not every slot is seen busy;
	// on a loaded machine none may be (the transfer held by a server below shows stream 0 in slot 2).
	EXPECT_GE(most_streams, 2);
	for (int slot : slots_seen) EXPECT_TRUE(slot >= 2 && slot < 2 + most_streams) << slot;

	// The older installation: what release 840 installed.
	dest_dir_path = box.path("old/" + name + "/");
	for (const auto& [rel, content] : r840) box.write("old/" + name + "/" + rel, content);
	ASSERT_EQ(install(20000), 1);
	EXPECT_EQ(dest_dir_path, box.path("old/" + name + "/")); // renamed to the name it already had
	std::map<std::string, std::string> updated = tree_of(dest_dir_path);
	EXPECT_TRUE(updated == fresh);
	EXPECT_FALSE(box.exists("old/" + name + "/Old"));

	for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], i + 1 == results.size()) << i;
	EXPECT_EQ(stg.got_failed_install, 0);
	EXPECT_EQ(stg.got_404, 0);
	EXPECT_EQ(temp_leftovers(), std::vector<std::string>{});
	for (const std::string& rel : missing) EXPECT_EQ(requests_for(one->access_log(), logged("/one/", rel), 200), 0) << rel;
	EXPECT_GE(requests_for(one->access_log(), logged("/one/", "Aircraft/Cessna 172/c172.acf"), 200), 1);
	EXPECT_GE(requests_for(two->access_log(), logged("/two/", "Velmora"), 200), 1);
	EXPECT_EQ(requests_for(one->access_log(), logged("/one/", "Resources/readme.txt"), 200) +
	              requests_for(two->access_log(), logged("/two/", "Resources/readme.txt"), 200),
	          readme_fetches); // unchanged since 840: the update does not fetch it
	EXPECT_GE(requests_for(two->access_log(), logged("/two/", "Resources/100% sure #1?.txt"), 200), 1);
	EXPECT_NE(log().find("HTTP Error for " + temp_path), std::string::npos);
	EXPECT_EQ(log().find("(engine line"), std::string::npos);
}

// The first failure: shown with the file's path on the server that failed, the file handed out
// again, the stream on it, its temporary archive gone; then the other mirror serves it.
TEST_F(net_engine_test, a_failed_download_is_shown_and_handed_out_again)
{
	author({{900, {{"a.txt", "first"}, {"b.txt", "second"}, {"c.txt", "third"}}}});
	two_mirrors({"a.txt"});
	dest_dir_path = box.path("dest/" + name + "/");
	ASSERT_EQ(read_directory(temp_path + "directory.txt", "Scanning..."), 3);
	reset_next();
	make_dirs();
	ASSERT_EQ(choose_files(), 1);
	int calls = 0;
	for (; calls < 5000 && !stg.got_404; ++calls) {
		ASSERT_EQ(grab_files(), 0);
		pause_a_little();
	}
	ASSERT_EQ(stg.got_404, 1);
	EXPECT_EQ(crnt_file_path, "/one/" + archive_of("a.txt"));
	// Handed out again: waiting at the head of the schedule, or already taken by another stream.
	bool handed_again = next.next_index == 0;
	for (int k = 1; k < 4; ++k) handed_again |= next.stream_active[k] && next.stream_index[k] == 0;
	EXPECT_TRUE(handed_again);
	EXPECT_EQ(next.stream_index[0], 0);
	EXPECT_EQ(next.stream_waiting[0], 0);
	EXPECT_FALSE(box.exists("temp/0a.zip"));
	int result = 0;
	for (; calls < 20000 && result == 0; ++calls) {
		result = grab_files();
		pause_a_little();
	}
	EXPECT_EQ(result, 1);
	EXPECT_EQ(box.read("dest/" + name + "/a.txt"), "first");
	EXPECT_GE(requests_for(two->access_log(), logged("/two/", "a.txt"), 200), 1);
	EXPECT_EQ(stg.got_404, 0);
}

// A file that no mirror has: no alert and no end, the download is tried again and again on both
// mirrors; the other files are installed meanwhile. Quitting then ends the transfers in flight.
TEST_F(net_engine_test, a_file_no_mirror_has_is_retried_without_end)
{
	release_files files;
	for (int i = 0; i < 6; ++i) files["f" + std::to_string(i) + ".txt"] = test_bytes(3000, i);
	files["zz/missing.txt"] = "on no mirror";
	author({{900, files}});
	two_mirrors({"zz/missing.txt"});
	fs::remove(two->web_root + "two/" + archive_of("zz/missing.txt"));
	dest_dir_path = box.path("dest/" + name + "/");
	EXPECT_EQ(install(4000), 0);
	for (int r : results) EXPECT_EQ(r, 0);
	EXPECT_EQ(next.dir_done, 0);
	EXPECT_EQ(stg.got_failed_install, 0);
	EXPECT_FALSE(box.exists("dest/" + name + "/zz/missing.txt"));
	for (int i = 0; i < 6; ++i) EXPECT_TRUE(box.read("dest/" + name + "/f" + std::to_string(i) + ".txt") == files["f" + std::to_string(i) + ".txt"]) << i;
	EXPECT_GE(requests_for(one->access_log(), logged("/one/", "zz/missing.txt"), 404), 2);
	EXPECT_GE(requests_for(two->access_log(), logged("/two/", "zz/missing.txt"), 404), 2);
	EXPECT_EQ(log().find("(engine line"), std::string::npos); // no alert

	reset_next(); // Quit
	for (int o = 2; o < 6; ++o) EXPECT_EQ(http.down[o], nullptr) << o;
	EXPECT_EQ(temp_leftovers(), std::vector<std::string>{});
}

// An archive that arrives whole but cannot be unpacked: the worker's account of it reaches the log
// ahead of the alert, the installation ends as failed, and no temporary archive stays behind.
TEST_F(net_engine_test, an_archive_the_pool_cannot_unpack_fails_the_installation)
{
	author({{900, {{"a.txt", "first"}, {"b.txt", "second"}, {"c.txt", "third"}}}});
	publish(*one, "/one/");
	one->put("one/" + archive_of("b.txt"), "not an archive");
	use_mirrors({{one->server(), "/one/"}});
	fetch_directory(5000);
	dest_dir_path = box.path("dest/" + name + "/");
	EXPECT_EQ(install(5000), 1);
	EXPECT_EQ(stg.got_failed_install, 1);
	reset_next(); // as the screen does when the engine ends
	std::string text = log();
	size_t worker_said = text.find("OK I am about to report that I could not open a zip file for extraction!\n"
	                               "That incoming file is " + temp_path);
	size_t alert = text.find("The installer cannot extract a file.\n");
	ASSERT_NE(worker_said, std::string::npos);
	ASSERT_NE(alert, std::string::npos);
	EXPECT_LT(worker_said, alert);
	EXPECT_NE(text.find("Destination: " + dest_dir_path + "b.txt\n"), std::string::npos);
	EXPECT_FALSE(box.exists("dest/" + name + "/b.txt"));
	EXPECT_EQ(temp_leftovers(), std::vector<std::string>{});
}

// Resetting the schedule while a stream is in the middle of a download ends that transfer and removes
// its part, so that the next installation does not take it up for another file.
TEST_F(net_engine_test, a_reset_ends_the_transfer_in_flight_and_removes_its_part)
{
	author({{900, {{"a.txt", "first"}}}});
	ASSERT_EQ(zip_to_file(disc + name + "/directory.txt.zip", temp_path), 0);
	script_server held({read_request(), send_bytes("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'x')),
	                    wait_gate()});
	use_mirrors({{held.server(), "/held/"}});
	dest_dir_path = box.path("dest/" + name + "/");
	EXPECT_EQ(install(2000), 0);
	// Stopped by the call limit while the server holds the rest back.
	ASSERT_NE(http.down[2], nullptr);
	ASSERT_EQ(http.down[2]->mReceivedPayload, 5000);
	EXPECT_TRUE(box.exists("temp/0a.zip"));
	EXPECT_NEAR(stg.crnt_file_rat, 0.05f, 1e-6);

	reset_next();
	EXPECT_EQ(http.down[2], nullptr);
	EXPECT_FALSE(box.exists("temp/0a.zip"));
	for (int k = 0; k < 4; ++k) EXPECT_EQ(next.stream_active[k], k < 2) << k; // an update starts with two streams

	// The next installation fetches its file afresh, from the mirror now in the list.
	publish(*one, "/one/");
	use_mirrors({{one->server(), "/one/"}});
	EXPECT_EQ(install(5000), 1);
	EXPECT_EQ(box.read("dest/" + name + "/a.txt"), "first");
}

} // namespace
