#pragma once
// The mirror list of the network build: the web servers that hold the per-file archives, read into
// server_name, server_path, server_desc and stg.num_servers. The format is described in README.md.
#include <string>

// The file named by --servers=PATH, else servers.txt in the program's folder.
std::string server_list_path();

// Reads the mirror list. Returns an empty text on success, else a message that names the file and
// what is wrong with it; the list is then left empty.
std::string read_server_list();

// After a failed download: picks the server for the next try at random, lower entries of the list
// more often (it may be the same one again).
void choose_other_server();
// A download of `path` (its path on the server) failed: the screens show the failure texts naming it,
// and another server is chosen for the next try.
void download_failed(const std::string& path);
