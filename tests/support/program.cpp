#include "support/program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

std::string program_path(const std::string& name) { return std::string(VELMORA_BIN_DIR) + "/" + name; }

pid_t start_program(const std::string& exe, const std::vector<std::string>& args, const std::string& output_file)
{
	pid_t pid = fork();
	if (pid != 0) return pid;
	int fd = open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	dup2(fd, 1);
	dup2(fd, 2);
	std::vector<char*> argv{const_cast<char*>(exe.c_str())};
	for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
	argv.push_back(nullptr);
	execv(exe.c_str(), argv.data());
	_exit(127);
}

int wait_program(pid_t pid, double timeout_s)
{
	auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_s);
	int status = 0;
	while (waitpid(pid, &status, WNOHANG) == 0) {
		if (std::chrono::steady_clock::now() > deadline) {
			kill(pid, SIGKILL);
			waitpid(pid, &status, 0);
			return -1;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool wait_for_text(const std::string& file, const std::string& text, double timeout_s)
{
	auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_s);
	while (std::chrono::steady_clock::now() < deadline) {
		std::ifstream in(file);
		std::stringstream ss;
		ss << in.rdbuf();
		if (ss.str().find(text) != std::string::npos) return true;
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	return false;
}
