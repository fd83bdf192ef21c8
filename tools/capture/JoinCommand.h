// halvane-capture --join: parts of a long capture into one file, without encoding the
// picture again (SpanJoin). Like a capture, the file appears under its name only when
// complete; Ctrl-C or a failure leaves nothing and ends with status 1, a usage error with 2.
#pragma once

int joinCommand(int argc, char** argv);
