// The version of this build: the release number from the project, then where the tree
// stood when it was built, e.g. "1.0.0+gabc1234" or "1.0.0+gabc1234-dirty" or
// "1.0.0+unknown" (cmake/VersionOf.cmake says what each form means).
#pragma once

const char* halvaneVersion();
