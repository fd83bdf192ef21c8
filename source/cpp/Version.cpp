#include "cpp/Version.h"

// Written at build time into the build tree (cmake/WriteVersion.cmake).
#include "HalvaneVersion.h"

const char* halvaneVersion() { return HV_VERSION_STRING; }
