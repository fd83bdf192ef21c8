// What every run of halvane-capture shares at its edges: how it reports, whether
// progress goes to a terminal, the flag that Ctrl-C and SIGTERM raise, and how a
// written span becomes the output file, or nothing.
#pragma once

#include "FilmCapture.h"

#include <csignal>
#include <string>

class Mp4Writer;
class OutputFile;

// The message with the usage; status 2.
int usageError(const std::string& why);
// The message; status 1.
int failure(const std::string& why);
bool isTerminal();

// Enters RUNDIR, or when none was given the directory the film's files are found in
// (DataDirectory.h); false with the reason.
bool enterRunDirectory(const std::string& dir, std::string* why);

// From now on an interrupt raises the flag instead of ending the process.
void catchInterrupts();
const volatile std::sig_atomic_t* interrupted();

// Finishes the writer and renames the output into place after a run that is Done;
// after any other result the temporary file goes. The status to end with.
int completeOutput(CaptureResult result, const std::string& why, Mp4Writer& writer, OutputFile& output);
