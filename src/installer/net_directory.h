#pragma once
// The directory file of the network build: the chosen server's marker file and zipped directory file
// are fetched into the temporary folder, the installation's name is read from the first and the
// second is extracted there, where the installer step reads it as it reads the disc's.

// One step of the fetch, called once per second while stg.dir_scan is 0, and every frame while a
// fetch is in flight (net_directory_in_flight). It never waits on the
// network: each call advances the transfer by what has arrived. Sets stg.dir_scan to 1 once
// directory.txt is in the temporary folder. A failure sets stg.got_404 and crnt_file_path (the path
// that failed) and changes the server, which the next call starts over with. With no server in the
// list nothing is fetched.
void net_directory_step();

// A fetch is on its way: the screen advances it every frame, not only once a second.
bool net_directory_in_flight();
