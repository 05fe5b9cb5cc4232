#pragma once
// Runs the built programs as a user would: a child process with its output in a file.
#include <sys/types.h>

#include <string>
#include <vector>

std::string program_path(const std::string& name); // e.g. "velmora-installer"

// Starts the program; standard output and error go to `output_file`.
pid_t start_program(const std::string& exe, const std::vector<std::string>& args, const std::string& output_file);
// Waits for the program: its exit code, 128 + signal when a signal ended it, -1 when it was still running
// after `timeout_s` seconds (it is then killed).
int wait_program(pid_t pid, double timeout_s);
// Waits until `file` contains `text`; false after `timeout_s` seconds.
bool wait_for_text(const std::string& file, const std::string& text, double timeout_s);
