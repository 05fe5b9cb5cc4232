#pragma once
// A temporary folder standing in for the user's world: HOME, XDG_CONFIG_HOME, XDG_DESKTOP_DIR and
// TMPDIR point inside it for the life of the object, and it is removed afterwards.
#include <string>

class sandbox_class {
public:
	sandbox_class();
	~sandbox_class();
	sandbox_class(const sandbox_class&) = delete;
	sandbox_class& operator=(const sandbox_class&) = delete;

	std::string root; // ends with '/'
	std::string path(const std::string& rel) const { return root + rel; }
	void write(const std::string& rel, const std::string& content) const; // makes the folders above
	std::string read(const std::string& rel) const;                       // empty when missing
	bool exists(const std::string& rel) const;
};

// The whole content of a file; empty when it is missing.
std::string read_file(const std::string& path);

// Runs a shell command and returns its exit status (-1 when it could not run).
int run_shell(const std::string& command);
// Runs a shell command and returns what it printed on standard output.
std::string shell_output(const std::string& command);
// Quotes a word for the shell.
std::string shell_quote(const std::string& s);
