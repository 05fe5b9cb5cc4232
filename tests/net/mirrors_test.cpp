#include "net/mirrors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/stg.h"
#include "platform/sys_files.h"
#include "runtime/UTL_cmdline.h"
#include "support/sandbox.h"

namespace {

class MirrorsTest : public ::testing::Test {
protected:
	sandbox_class sb;

	void TearDown() override { cmdline.options.erase("--servers"); }

	// Writes a list and reads it through --servers.
	std::string read_list(const std::string& content)
	{
		sb.write("servers.txt", content);
		cmdline.options["--servers"] = sb.path("servers.txt");
		return read_server_list();
	}
};

const std::string header = "I\n900 version\nSERVERS\n";

} // namespace

TEST_F(MirrorsTest, ListComesFromTheProgramsFolderOrTheNamedFile)
{
	EXPECT_EQ(server_list_path(), sys_program_folder() + "servers.txt");
	cmdline.options["--servers"] = "/srv/lists/ours.txt";
	EXPECT_EQ(server_list_path(), "/srv/lists/ours.txt");
}

TEST_F(MirrorsTest, ReadsEveryServerInOrder)
{
	std::string list = "I\r\n900 version\r\nSERVERS\r\n\r\n"
	                   "SERVER mirror.example.com /velmora/ Main mirror (Europe)  \r\n"
	                   "  SERVER\t127.0.0.1:8080 / Local test server\r\n"
	                   "\n"
	                   "SERVER files.example.org:80 /pub/velmora/ x";
	EXPECT_EQ(read_list(list), "");
	ASSERT_EQ(stg.num_servers, 3);
	EXPECT_EQ(server_name[0], "mirror.example.com");
	EXPECT_EQ(server_path[0], "/velmora/");
	EXPECT_EQ(server_desc[0], "Main mirror (Europe)");
	EXPECT_EQ(server_name[1], "127.0.0.1:8080");
	EXPECT_EQ(server_path[1], "/");
	EXPECT_EQ(server_desc[1], "Local test server");
	EXPECT_EQ(server_name[2], "files.example.org:80");
	EXPECT_EQ(server_path[2], "/pub/velmora/");
	EXPECT_EQ(server_desc[2], "x");
}

TEST_F(MirrorsTest, TakesTenServers)
{
	std::string list = header;
	for (int i = 0; i < max_servers; ++i) list += "SERVER m" + std::to_string(i) + ".example.com /v/ Mirror " + std::to_string(i) + "\n";
	EXPECT_EQ(read_list(list), "");
	EXPECT_EQ(stg.num_servers, max_servers);
	EXPECT_EQ(server_desc[9], "Mirror 9");
}

// Every fault names the file and, for a bad entry, its line; the list is then left empty.
TEST_F(MirrorsTest, BadListsAreRefusedWithTheReason)
{
	std::string eleven = header;
	for (int i = 0; i <= max_servers; ++i) eleven += "SERVER m.example.com /v/ Mirror\n";
	struct {
		const char* name;
		std::string content, reason;
	} cases[] = {
		{"empty file", "", "could not be read"},
		{"wrong marker", "X\n900 version\nSERVERS\nSERVER m /v/ d\n", "must begin with the lines I, 900 version and SERVERS"},
		{"wrong version", "I\n901 version\nSERVERS\nSERVER m /v/ d\n", "must begin with the lines I, 900 version and SERVERS"},
		{"wrong tag", "I\n900 version\nSERVERSX\nSERVER m /v/ d\n", "must begin with the lines I, 900 version and SERVERS"},
		{"no servers", header, "it lists no server"},
		{"eleven servers", eleven, "it lists more than 10 servers"},
		{"other keyword", header + "MIRROR m /v/ d\n", "line 4: expected SERVER <host[:port]> </path prefix/> <description>"},
		{"no description", header + "\nSERVER m /v/   \n", "line 5: expected SERVER"},
		{"slash in the host", header + "SERVER m.example.com/v /v/ d\n", "line 4: the server m.example.com/v must be a host name"},
		{"backslash in the host", header + "SERVER m\\v /v/ d\n", "line 4: the server m\\v must be a host name"},
		{"port out of range", header + "SERVER m:70000 /v/ d\n", "line 4: the server m:70000 must be a host name, optionally with :port (1 to 65535)"},
		{"port only", header + "SERVER :8080 /v/ d\n", "line 4: the server :8080 must be a host name"},
		{"path without a leading slash", header + "SERVER m v/ d\n", "line 4: the path prefix v/ must begin and end with /"},
		{"path without a trailing slash", header + "SERVER m /v d\n", "line 4: the path prefix /v must begin and end with /"},
		{"bad line after CR line ends", "I\r900 version\rSERVERS\r\rSERVER m /v/ d\rSERVER m v/ d\r", "line 6: the path prefix v/"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		read_list(header + "SERVER ok.example.com /v/ fine\n"); // something to clear
		std::string problem = read_list(c.content);
		EXPECT_EQ(problem.rfind("The server list " + sb.path("servers.txt"), 0), 0u) << problem;
		EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
		EXPECT_EQ(stg.num_servers, 0);
		EXPECT_EQ(server_name[0], "");
		EXPECT_EQ(server_desc[0], "");
	}
}

TEST_F(MirrorsTest, MissingListIsReported)
{
	cmdline.options["--servers"] = sb.path("nowhere/servers.txt");
	EXPECT_EQ(read_server_list(), "The server list " + sb.path("nowhere/servers.txt") + " could not be read.");
	EXPECT_EQ(stg.num_servers, 0);
}

// After a failure the next server is drawn at random with the integer part of n * x^1.5 for a uniform
// x: entry i comes up with the share ((i+1)/n)^(2/3) - (i/n)^(2/3), never outside the list.
TEST(MirrorChoice, LowerEntriesAreDrawnMoreOften)
{
	srand(3);
	for (int n : {0, 1, 2, 4, 10}) {
		SCOPED_TRACE(n);
		stg.num_servers = n;
		const int draws = 20000;
		std::vector<int> count(std::max(n, 1));
		for (int i = 0; i < draws; ++i) {
			stg.sel_server = -7;
			choose_other_server();
			ASSERT_GE(stg.sel_server, 0);
			ASSERT_LT(stg.sel_server, std::max(n, 1));
			++count[stg.sel_server];
		}
		for (int i = 0; i < n; ++i) {
			double share = std::pow((i + 1.0) / n, 2.0 / 3) - std::pow(double(i) / n, 2.0 / 3);
			EXPECT_NEAR(count[i] / double(draws), share, 0.015) << i;
		}
	}
	stg.num_servers = 0;
	stg.sel_server = 0;
}
