#pragma once
// The network build against real mirrors: releases authored into a disc by the authoring tool, the
// disc published under path prefixes of real nginx servers, the mirror list read as start-up reads
// it, and the installer's state as start-up leaves it.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/nginx_fixture.h"
#include "support/sandbox.h"

// Files of one release: path below the installation folder -> content.
typedef std::map<std::string, std::string> release_files;

class mirror_test : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	static const std::string name; // the installation's name, "Velmora 9.00"

	sandbox_class box;
	std::string disc; // the authored disc's folder, ends with '/'

	std::string log() const;

	// Authors the disc from releases (number -> files); `os_rules` are the tool's "N=GLOB" words.
	void author(const std::map<int, release_files>& releases, const std::vector<std::string>& os_rules = {});
	// Puts the disc on the server under `prefix` ("/one/"): the marker file, the directory file and
	// the archives, leaving out the ones named in `missing` (paths below the prefix).
	void publish(const nginx_fixture& web, const std::string& prefix, const std::set<std::string>& missing = {}) const;
	// Writes the mirror list (server, prefix) and reads it as start-up does.
	void use_mirrors(const std::vector<std::pair<std::string, std::string>>& mirrors);

	// Calls the directory step as the screen's once-per-second pulse would, until stg.dir_scan leaves
	// 0, a failure is shown (when `stop_on_failure`), or `calls` calls have passed. The calls made.
	int fetch_directory(int calls, bool stop_on_failure = false);
	// Reads the fetched directory file and installs as the Install button does, then runs the engine
	// until it reports the end or `calls` calls have passed. The engine's last result.
	int install(int calls);

	int engine_calls = 0;        // grab_files calls of the last install()
	std::set<int> slots_seen;    // HTTP slots found busy after a call of the last install()
	int most_streams = 0;        // the most streams active at once during the last install()
	std::vector<int> results;    // every grab_files result of the last install()
};

// Lets the servers answer between two calls of the engine, so that a count of calls stands for time.
void pause_a_little();
// Every entry below a folder: files with their content, folders as "<folder>".
std::map<std::string, std::string> tree_of(const std::string& root);
// The requests in an access log for a path (as logged) that got `status`.
int requests_for(const std::string& access_log, const std::string& logged_path, int status);
