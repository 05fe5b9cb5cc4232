#include "net/mirrors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/xmap.h"
#include "net/http.h"
#include "platform/sys_files.h"
#include "runtime/UTL_cmdline.h"

static const char list_name[] = "servers.txt";
static const int list_version = 900;

std::string server_list_path()
{
	std::string named = cmdline.get_option("--servers");
	return named.empty() ? sys_program_folder() + list_name : named;
}

// The number of the line under the cursor; CR LF, LF, CR and NUL each end a line.
static int line_number(const xmap_class& list)
{
	int number = 1;
	for (const char* c = list.mBegin; c < list.mCrt; ++c)
		if (*c == '\n' || *c == 0 || (*c == '\r' && (c + 1 == list.mEnd || c[1] != '\n'))) ++number;
	return number;
}

struct server_entry {
	std::string name, path, desc;
};

// One "SERVER host[:port] /path/ description" line; an empty text when it is sound, else the problem.
static std::string read_entry(xmap_class& list, server_entry& entry)
{
	std::string where = "line " + std::to_string(line_number(list)) + ": ";
	bool keyword = list.match_word("SERVER");
	entry.name = list.read_token();
	entry.path = list.read_token();
	entry.desc = list.read_rest();
	entry.desc.erase(entry.desc.find_last_not_of(" \t") + 1);
	list.skip_eol();
	if (!keyword || entry.desc.empty()) return where + "expected SERVER <host[:port]> </path prefix/> <description>";
	std::string host;
	unsigned short port;
	if (entry.name.find_first_of("/\\") != std::string::npos || !split_server(entry.name, host, port) || host.empty())
		return where + "the server " + entry.name + " must be a host name, optionally with :port (1 to 65535), without slashes";
	if (entry.path.front() != '/' || entry.path.back() != '/')
		return where + "the path prefix " + entry.path + " must begin and end with /";
	return "";
}

static std::string parse_list(xmap_class& list, std::vector<server_entry>& entries)
{
	static const int versions[] = {list_version, 0};
	if (!list.check_file(bin_code_text, versions, "SERVERS", nullptr))
		return "it must begin with the lines I, 900 version and SERVERS";
	while (list.mCrt < list.mEnd) {
		server_entry entry;
		std::string problem = read_entry(list, entry);
		if (!problem.empty()) return problem;
		entries.push_back(entry);
	}
	if (entries.empty()) return "it lists no server";
	if (entries.size() > max_servers) return "it lists more than " + std::to_string(max_servers) + " servers";
	return "";
}

std::string read_server_list()
{
	for (int i = 0; i < max_servers; ++i) server_name[i] = server_path[i] = server_desc[i] = "";
	stg.num_servers = 0;
	std::string path = server_list_path();
	xmap_class list(path);
	if (!list.mBegin) return "The server list " + path + " could not be read.";
	std::vector<server_entry> entries;
	std::string problem = parse_list(list, entries);
	if (!problem.empty()) return "The server list " + path + " is not valid: " + problem + ".";
	for (const server_entry& e : entries) {
		server_name[stg.num_servers] = e.name;
		server_path[stg.num_servers] = e.path;
		server_desc[stg.num_servers] = e.desc;
		++stg.num_servers;
	}
	return "";
}

void download_failed(const std::string& path)
{
	stg.got_404 = 1;
	crnt_file_path = path;
	choose_other_server();
}

void choose_other_server()
{
	// A uniform value in 0..1 from the runtime's generator, whatever its range on this system.
	float x = float(rand()) / float(RAND_MAX);
	int pick = int(float(stg.num_servers) * std::pow(x, 1.5f));
	stg.sel_server = std::clamp(pick, 0, std::max(stg.num_servers - 1, 0));
}
