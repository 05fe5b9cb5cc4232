#pragma once
// Installing with nobody at the screen (--unattended): the installer answers its own questions, presses
// Install itself, prints its progress on standard output and ends with an exit code that says how it went.

enum {
	unattended_installed = 0,   // installed, or already installed
	unattended_failed = 1,      // a file failed to install, or a fatal alert
	unattended_no_disc = 2,     // no readable install disc within 10 seconds
	unattended_no_space = 3,    // not enough disk space
	unattended_no_licence = 4,  // the licence was not accepted (--accept_eula)
};

// Takes over the run when the command line asks for it: --unattended, with --accept_eula and
// --modified=keep (the default) or --modified=overwrite.
void unattended_start();
bool unattended_running();
// The exit code of the run: 0 when it is not unattended.
int unattended_exit_code();
