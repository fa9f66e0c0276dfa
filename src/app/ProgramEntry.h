#pragma once
// Bringing the program up and down around the main dialog.

// Loads the settings, keeps commandLine (everything after the program's name, one file name) as
// the file to open first, runs the main dialog until the user leaves, releases the source and
// writes the settings back. SIGTERM, SIGHUP and SIGINT end the dialogs as their Close and exit
// buttons do, abandoning a save in progress, and the settings are written all the same. Returns
// 1, the program's exit code in every case.
int ProgramEntry(const void* instance, const char* commandLine);
