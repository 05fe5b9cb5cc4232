#include "platform/sys_dialog.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char** environ;

static bool on_path(const std::string& program)
{
	const char* path = getenv("PATH");
	std::string dirs = path ? path : "";
	size_t start = 0;
	while (start <= dirs.size()) {
		size_t end = dirs.find(':', start);
		if (end == std::string::npos) end = dirs.size();
		std::string candidate = dirs.substr(start, end - start) + "/" + program;
		if (end > start && access(candidate.c_str(), X_OK) == 0) return true;
		start = end + 1;
	}
	return false;
}

static std::vector<std::string> zenity_args(int kind, const std::string& title, const std::string& start)
{
	std::vector<std::string> args = {"zenity", "--file-selection", "--title=" + title};
	if (kind == sys_dialog_folder) args.push_back("--directory");
	if (kind == sys_dialog_save) {
		args.push_back("--save");
		args.push_back("--confirm-overwrite");
	}
	if (!start.empty()) args.push_back("--filename=" + start);
	return args;
}

static std::vector<std::string> kdialog_args(int kind, const std::string& title, const std::string& start)
{
	static const char* const modes[] = {"--getopenfilename", "--getsavefilename", "--getexistingdirectory"};
	return {"kdialog", "--title", title, modes[kind], start.empty() ? "." : start};
}

// Runs the program and collects what it prints; its exit status says whether a choice was made.
static sys_dialog_result run_child(const std::vector<std::string>& args, std::string& out)
{
	int fds[2];
	if (pipe(fds) != 0) return sys_dialog_unavailable;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
	posix_spawn_file_actions_addclose(&actions, fds[0]);
	std::vector<char*> argv;
	for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
	argv.push_back(nullptr);
	pid_t pid;
	int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	close(fds[1]);
	if (err != 0) {
		close(fds[0]);
		return sys_dialog_unavailable;
	}
	char buf[4096];
	ssize_t n;
	while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, size_t(n));
	close(fds[0]);
	int status = 0;
	waitpid(pid, &status, 0);
	while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
	bool chosen = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !out.empty();
	return chosen ? sys_dialog_chosen : sys_dialog_cancelled;
}

sys_dialog_result sys_run_dialog(int kind, const std::string& title, const std::string& start, std::string& chosen)
{
	chosen.clear();
	if (on_path("zenity")) return run_child(zenity_args(kind, title, start), chosen);
	if (on_path("kdialog")) return run_child(kdialog_args(kind, title, start), chosen);
	return sys_dialog_unavailable;
}
