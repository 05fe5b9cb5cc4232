#pragma once
// A sandbox for the file tests, with alerts written to the sandbox's log instead of being shown.
#include <gtest/gtest.h>

#include <string>

#include "support/sandbox.h"

class io_test : public ::testing::Test {
protected:
	sandbox_class box;
	void SetUp() override;
	void TearDown() override;
	std::string log_text(); // what has been written to the log so far
};

// Inside a death test: sends the log to standard error, so the alert's lines can be matched.
void log_to_stderr();
// Runs a shell command in the sandbox folder `rel` and fails the test when it does not succeed.
void run_in(const sandbox_class& box, const std::string& rel, const std::string& command);
