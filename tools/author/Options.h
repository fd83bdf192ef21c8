// halvane-author's command line: [--size WxH] [--at SECONDS].
#pragma once

#include <string>

struct AuthorOptions {
    int width = 1280;
    int height = 720;
    double at = 0.0;
};

// False with *why set for a bad command line; --help sets *why empty.
bool parseAuthorOptions(int argc, char** argv, AuthorOptions* options, std::string* why);
