// Refuses model files that break the importer we link, before it sees them.
//
// Debian's Assimp 5.2 reads a null pointer when a COLLADA data array (<float_array>,
// <Name_array>, <IDREF_array>) has a count that is missing, zero or not a number, a
// SIGSEGV no error handling can catch; a count of billions makes it reserve gigabytes;
// and a <p> index list holding anything but numbers and spaces sends it
// into an endless loop that eats memory. modelHazard() returns why the file must not
// reach the importer, or an empty string (also when the file cannot be read: the
// importer then reports that itself).
#pragma once

#include <string>

std::string modelHazard(const std::string& path);

// The same test on the file's bytes.
std::string modelHazardInText(const std::string& text);
