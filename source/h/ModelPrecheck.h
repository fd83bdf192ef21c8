// Refuses model files that crash the importer we link, before it sees them.
//
// Debian's Assimp 5.2 reads a null pointer when a COLLADA data array (<float_array>,
// <Name_array>, <IDREF_array>) has no count attribute: the process dies on a SIGSEGV
// that no error handling can catch. modelHazard() returns why the file must not reach
// the importer, or an empty string (also when the file cannot be read: the importer
// then reports that itself).
#pragma once

#include <string>

std::string modelHazard(const std::string& path);

// The same test on the file's bytes.
std::string modelHazardInText(const std::string& text);
