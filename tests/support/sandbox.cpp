#include "support/sandbox.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

static const char* sandbox_vars[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DESKTOP_DIR", "TMPDIR"};

sandbox_class::sandbox_class()
{
	std::string templ = (fs::temp_directory_path() / "velmora-test-XXXXXX").string();
	if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
	root = templ + "/";
	for (const char* sub : {"home/", "home/.config/", "home/Desktop/", "tmp/"}) fs::create_directories(root + sub);
	setenv("HOME", (root + "home").c_str(), 1);
	setenv("XDG_CONFIG_HOME", (root + "home/.config").c_str(), 1);
	setenv("XDG_DESKTOP_DIR", (root + "home/Desktop").c_str(), 1);
	setenv("TMPDIR", (root + "tmp").c_str(), 1);
}

sandbox_class::~sandbox_class()
{
	std::error_code ec;
	fs::remove_all(root, ec);
	for (const char* v : sandbox_vars) unsetenv(v);
}

void sandbox_class::write(const std::string& rel, const std::string& content) const
{
	fs::path p(root + rel);
	fs::create_directories(p.parent_path());
	std::ofstream(p, std::ios::binary) << content;
}

std::string read_file(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::ostringstream ss;
	ss << in.rdbuf();
	return ss.str();
}

std::string sandbox_class::read(const std::string& rel) const { return read_file(root + rel); }

bool sandbox_class::exists(const std::string& rel) const
{
	struct stat st;
	return lstat((root + rel).c_str(), &st) == 0;
}

int run_shell(const std::string& command)
{
	int rc = system(command.c_str());
	if (rc == -1 || !WIFEXITED(rc)) return -1;
	return WEXITSTATUS(rc);
}

std::string shell_output(const std::string& command)
{
	std::string out;
	FILE* p = popen(command.c_str(), "r");
	if (!p) return out;
	char buf[4096];
	size_t n;
	while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
	pclose(p);
	return out;
}

std::string shell_quote(const std::string& s)
{
	std::string q = "'";
	for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
	return q + "'";
}
