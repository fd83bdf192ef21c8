// halvane-capture's two questions for scripts such as the capture farm:
//
//   halvane-capture --verify [--dir RUNDIR] PART.mp4   (--dir is accepted and unused)
//       prints the part's span tag and ends with 0 when the file is a capture whose
//       video holds exactly the frames its tag names, all readable; 1 otherwise (a
//       missing, truncated or foreign file), with the reason on stderr.
//   halvane-capture --fingerprint [--dir RUNDIR]
//       prints "<content fingerprint> <music samples> <music rate>" for the run
//       directory: what a capture made there will carry in its tag, and how long the film is.
#pragma once

// Which of the two the command line asks for, if either: "--verify", "--fingerprint" or null.
const char* queryCommand(int argc, char** argv);

int verifyCommand(int argc, char** argv);
int fingerprintCommand(int argc, char** argv);
