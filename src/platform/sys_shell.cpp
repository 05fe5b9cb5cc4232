#include "platform/sys_shell.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

void sys_open_url(const std::string& url)
{
	// A double fork leaves no child to reap: the opener may outlive the installer.
	pid_t pid = fork();
	if (pid == 0) {
		pid_t opener;
		const char* argv[] = {"xdg-open", url.c_str(), nullptr};
		posix_spawnp(&opener, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ);
		_exit(0);
	}
	if (pid > 0) waitpid(pid, nullptr, 0);
}
