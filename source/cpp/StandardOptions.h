// --help and --version, answered alike by every program before it does anything else
// (no display, no files, no GL): --help prints the usage, --version prints
// "PROGRAM VERSION", both on standard output with status 0. Either may stand anywhere on
// the command line; the first one seen is answered.
#pragma once

// The status to end with when the command line asks for either; -1 when it asks for neither.
int answerHelpOrVersion(int argc, char** argv, const char* program, const char* usage);
