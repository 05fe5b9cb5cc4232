#pragma once
// A sandboxed world for the installer core: a destination folder, an authored install disc, the
// diagnostics log, alerts that are logged instead of shown, and scripted answers to the question
// about modified files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <string>
#include <vector>

#include "installer/stg.h"
#include "shell/hl_init.h"
#include "support/disc_fixture.h"
#include "support/sandbox.h"

struct question_struct {
	std::string dest_path_exp;
	int is_gone;
};

class core_test : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	sandbox_class box;
	disc_fixture_class disc{box.path("disc/"), "Velmora 9.00"};

	// The diagnostics log so far.
	std::string log() const;
	// A file in the destination folder, by its path below the installation folder.
	std::string dest(const std::string& rel) const { return dest_dir_path + rel; }
	void put(const std::string& rel, const std::string& content) const;
	std::string get(const std::string& rel) const;
	bool has(const std::string& rel) const;

	// Writes the disc's directory file, extracts it into the temporary folder as the installer step
	// does and reads it. Returns read_directory's result.
	int read_disc(const std::string& directory_text);
	// Clicking Install with the licence accepted: reset the schedule, make the folders, choose, then
	// run the engine until it reports the end. 0 when the choice was cancelled, else the engine's
	// final result.
	int install();
	int engine_calls = 0;       // grab_files calls of the last install()
	float installed_disk = 0;   // next.totl_disk when the engine reported the end

	// Replies given to the questions, in order; the questions asked are recorded.
	static std::deque<int> replies;
	static std::vector<question_struct> questions;
	static int answer(const std::string& dest_path_exp, int is_gone);
};

// Runs `body` in a child process, expects a fatal alert (logged, exit code 1) and the given lines in
// the log afterwards.
#define EXPECT_FATAL_ALERT(body, ...)                                                  \
	do {                                                                               \
		xer.flush();                                                                   \
		EXPECT_EXIT(                                                                   \
			{                                                                          \
				if (chdir(box.root.c_str()) == 0) { body; }                            \
			},                                                                         \
			::testing::ExitedWithCode(1), "");                                         \
		std::string log_now = log();                                                   \
		for (const char* line : {__VA_ARGS__}) EXPECT_NE(log_now.find(line), std::string::npos) << line; \
	} while (0)
