#include "disc_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "support/sandbox.h"

namespace fs = std::filesystem;

static bool white(char c) { return c == ' ' || c == '\t'; }

static size_t skip_white(const std::string& s, size_t i)
{
	while (i < s.size() && white(s[i])) i++;
	return i;
}

static std::string read_token(const std::string& s, size_t& i)
{
	i = skip_white(s, i);
	size_t start = i;
	while (i < s.size() && !white(s[i])) i++;
	return s.substr(start, i - start);
}

// A keyword counts only when white follows it.
static bool match_word(const std::string& s, const char* word, size_t& i)
{
	size_t at = skip_white(s, 0);
	std::string w(word);
	if (s.compare(at, w.size(), w) != 0 || at + w.size() >= s.size() || !white(s[at + w.size()])) return false;
	i = at + w.size();
	return true;
}

// Whole decimal numbers only: the installer would read other text without complaint, but wrongly.
static bool read_number(const std::string& s, size_t& i, int& out)
{
	std::string t = read_token(s, i);
	if (t.empty() || t.size() > 10 || !std::all_of(t.begin(), t.end(), ::isdigit)) return false;
	long long v = std::stoll(t);
	out = int(v);
	return v <= 2147483647;
}

static bool good_sig(const std::string& sig)
{
	if (sig == "GONE") return true;
	return sig.size() == 32 && std::all_of(sig.begin(), sig.end(), [](char c) { return isdigit(c) || (c >= 'a' && c <= 'f'); });
}

read_manifest_struct read_manifest(const std::string& text)
{
	read_manifest_struct m;
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);) lines.push_back(line);
	if (text.find('\r') != std::string::npos || text.find('\0') != std::string::npos) m.problems.push_back("CR or NUL in the text");
	if (lines.size() < 3 || lines[0].compare(0, 1, "I") != 0 || lines[1].compare(0, 4, "900 ") != 0 ||
	    lines[2] != "INSTALLER")
		m.problems.push_back("bad header");
	std::string prefix;
	std::set<std::string> seen;
	for (size_t n = 3; n < lines.size(); n++) {
		const std::string& line = lines[n];
		size_t i = 0;
		if (skip_white(line, 0) == line.size()) continue;
		if (match_word(line, "DIR", i)) {
			prefix = line.substr(skip_white(line, i));
			if (prefix.empty() || prefix.back() != '/') m.problems.push_back("prefix without '/': " + line);
			continue;
		}
		if (!match_word(line, "FILE", i)) {
			m.problems.push_back("skipped line: " + line);
			continue;
		}
		read_record_struct r;
		bool numbers = read_number(line, i, r.use_type) && read_number(line, i, r.os_type) &&
		               read_number(line, i, r.version_num) && read_number(line, i, r.down_size) &&
		               read_number(line, i, r.disk_size);
		r.sig = read_token(line, i);
		r.file = line.substr(skip_white(line, i));
		r.path = prefix + r.file;
		if (!numbers || !good_sig(r.sig) || r.file.empty() || r.file.find('/') != std::string::npos)
			m.problems.push_back("bad FILE line: " + line);
		if (m.histories.empty() || m.histories.back().back().path != r.path) {
			if (!seen.insert(r.path).second) m.problems.push_back("path in two runs: " + r.path);
			m.histories.emplace_back();
		}
		m.histories.back().push_back(r);
	}
	return m;
}

authored_struct author(const std::vector<std::string>& args)
{
	authored_struct a;
	mkdisc_options_struct options;
	a.rc = mkdisc_parse_args(args, options, a.error);
	if (a.rc == 0) a.rc = mkdisc_author(options, a.result, a.error);
	return a;
}

std::string disc_directory(const std::string& disc, const std::string& name)
{
	return shell_output("unzip -p " + shell_quote(disc + "/" + name + "/directory.txt.zip") + " directory.txt");
}

std::string md5_of(const std::string& content)
{
	char templ[] = "/tmp/velmora-md5-XXXXXX";
	int fd = mkstemp(templ);
	close(fd);
	std::ofstream(templ, std::ios::binary) << content;
	std::string sum = shell_output("md5sum " + shell_quote(templ)).substr(0, 32);
	unlink(templ);
	return sum;
}


std::vector<std::string> files_under(const std::string& folder)
{
	std::vector<std::string> out;
	std::error_code ec;
	for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
		if (!it->is_directory()) out.push_back(fs::relative(it->path(), folder).string());
	std::sort(out.begin(), out.end());
	return out;
}

unpacked_struct unpack(const std::string& archive)
{
	char templ[] = "/tmp/velmora-unpack-XXXXXX";
	std::string dir = mkdtemp(templ);
	bool is_7z = archive.size() > 3 && archive.compare(archive.size() - 3, 3, ".7z") == 0;
	std::string cmd = is_7z ? "7z x -y -bd -o" + shell_quote(dir) + " " + shell_quote(archive)
	                        : "unzip -qq -o " + shell_quote(archive) + " -d " + shell_quote(dir);
	unpacked_struct u;
	if (run_shell(cmd + " >/dev/null 2>&1") == 0)
		for (const std::string& name : files_under(dir)) {
			u.names.push_back(name);
			u.contents.push_back(read_file(dir + "/" + name));
		}
	fs::remove_all(dir);
	return u;
}
