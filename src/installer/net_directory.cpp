#include "installer/net_directory.h"

#include <cstdint>
#include <string>

#include "installer/media.h"
#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/zip.h"
#include "net/http.h"
#include "net/mirrors.h"
#include "runtime/xtim.h"
#include "shell/hl_init.h"

static const int slot = 1;               // the installer screen's slot; the engine's streams use 2 to 5
static const uint64_t slice_us = 10000;  // the most one call spends on the transfer, as the engine's slice

// The files fetched, in this order and from one server.
static const char* const wanted[] = {"dvd_version.txt", "directory.txt.zip"};
static int fetching = 0;             // the one on its way
static std::string server, url_path; // where it comes from, fixed when its download starts

// What an arrived file is worth: an empty text when it is taken in, else what is wrong with it.
static std::string take(const std::string& dest)
{
	if (fetching == 0) return read_version_file(dest) ? "" : "it is not a marker file";
	int code = zip_to_file(dest, temp_path);
	return code ? error_str(code) : "";
}

// One net_check for the file on its way and what follows from its result. False after a failure:
// the next call starts over on the server chosen now.
static bool advance()
{
	std::string dest = temp_path + wanted[fetching];
	if (!http.down[slot]) {
		server = server_name[stg.sel_server];
		url_path = server_path[stg.sel_server] + wanted[fetching];
	}
	int r = http.net_check(slot, server, url_path, dest);
	if (r == 0) return true;
	std::string problem = r == 1 ? take(dest) : "";
	delete_file(dest);
	if (r == 2 || !problem.empty()) {
		if (!problem.empty()) xer << "Cannot use " << url_path << " from " << server << ": " << problem << "\n";
		fetching = 0;
		download_failed(url_path);
		return false;
	}
	stg.got_404 = 0;
	if (fetching == 1) stg.dir_scan = 1;
	fetching = 1 - fetching;
	return true;
}

void net_directory_step()
{
	if (stg.num_servers <= 0) return;
	uint64_t start = xtim_class::microsecs_tot();
	while (stg.dir_scan == 0 && advance() && xtim_class::microsecs_tot() - start < slice_us) {
	}
}

bool net_directory_in_flight() { return http.down[slot] != nullptr; }
