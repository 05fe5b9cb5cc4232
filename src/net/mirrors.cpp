#include "net/mirrors.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "installer/stg.h"
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

struct list_line {
	int number;
	std::string text;
};

// The lines of a text with their numbers, blank ones left out; CR LF, LF, CR and NUL end a line.
static std::vector<list_line> non_blank_lines(const std::string& data)
{
	std::vector<list_line> lines;
	size_t at = 0;
	for (int number = 1; at < data.size(); ++number) {
		size_t end = data.find_first_of(std::string("\r\n\0", 3), at);
		if (end == std::string::npos) end = data.size();
		std::string text = data.substr(at, end - at);
		if (text.find_first_not_of(" \t") != std::string::npos) lines.push_back({number, text});
		at = end + ((data.compare(end, 2, "\r\n") == 0) ? 2 : 1);
	}
	return lines;
}

// Takes the next word (up to a blank) off the front of `rest`.
static std::string take_word(std::string& rest)
{
	size_t start = rest.find_first_not_of(" \t");
	if (start == std::string::npos) start = rest.size();
	size_t end = rest.find_first_of(" \t", start);
	if (end == std::string::npos) end = rest.size();
	std::string word = rest.substr(start, end - start);
	rest.erase(0, end);
	return word;
}

static std::string trimmed(const std::string& s)
{
	size_t start = s.find_first_not_of(" \t");
	if (start == std::string::npos) return "";
	return s.substr(start, s.find_last_not_of(" \t") - start + 1);
}

static bool has_header(const std::string& data, const std::vector<list_line>& lines)
{
	if (lines.size() < 3 || (data[0] != 'I' && data[0] != 'A')) return false;
	std::string version_line = lines[1].text, tag_line = lines[2].text;
	std::string version = take_word(version_line);
	return version == std::to_string(list_version) && take_word(tag_line) == "SERVERS";
}

struct server_entry {
	std::string name, path, desc;
};

// One "SERVER host[:port] /path/ description" line; an empty text when it is sound, else the problem.
static std::string read_entry(const list_line& line, server_entry& entry)
{
	std::string rest = line.text;
	std::string keyword = take_word(rest);
	entry.name = take_word(rest);
	entry.path = take_word(rest);
	entry.desc = trimmed(rest);
	std::string where = "line " + std::to_string(line.number) + ": ";
	if (keyword != "SERVER" || entry.desc.empty())
		return where + "expected SERVER <host[:port]> </path prefix/> <description>";
	std::string host;
	unsigned short port;
	if (entry.name.find_first_of("/\\") != std::string::npos || !split_server(entry.name, host, port) || host.empty())
		return where + "the server " + entry.name + " must be a host name, optionally with :port (1 to 65535), without slashes";
	if (entry.path.front() != '/' || entry.path.back() != '/')
		return where + "the path prefix " + entry.path + " must begin and end with /";
	return "";
}

static std::string parse_list(const std::string& data, std::vector<server_entry>& entries)
{
	std::vector<list_line> lines = non_blank_lines(data);
	if (!has_header(data, lines)) return "it must begin with the lines I, 900 version and SERVERS";
	for (size_t i = 3; i < lines.size(); ++i) {
		server_entry entry;
		std::string problem = read_entry(lines[i], entry);
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
	std::ifstream in(path, std::ios::binary);
	std::ostringstream data;
	data << in.rdbuf();
	if (!in.is_open() || data.str().empty()) return "The server list " + path + " could not be read.";
	std::vector<server_entry> entries;
	std::string problem = parse_list(data.str(), entries);
	if (!problem.empty()) return "The server list " + path + " is not valid: " + problem + ".";
	for (const server_entry& e : entries) {
		server_name[stg.num_servers] = e.name;
		server_path[stg.num_servers] = e.path;
		server_desc[stg.num_servers] = e.desc;
		++stg.num_servers;
	}
	return "";
}
