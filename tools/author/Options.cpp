#include "Options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

bool parseAuthorOptions(int argc, char** argv, AuthorOptions* options, std::string* why) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") return why->clear(), false;
        if (flag != "--size" && flag != "--at") return *why = "unknown option " + flag, false;
        if (i + 1 >= argc) return *why = "missing value after " + flag, false;
        const char* value = argv[++i];
        if (flag == "--size") {
            int width = 0, height = 0;
            char rest = '\0';
            if (std::sscanf(value, "%dx%d%c", &width, &height, &rest) != 2 || width < 16 || height < 16 ||
                width > 8192 || height > 8192)
                return *why = std::string("bad size '") + value + "' (WxH, 16..8192)", false;
            options->width = width;
            options->height = height;
        } else {
            char* end = nullptr;
            const double seconds = std::strtod(value, &end);
            if (end == value || *end != '\0' || !std::isfinite(seconds) || seconds < 0.0)
                return *why = std::string("bad time '") + value + "' (seconds, 0 or more)", false;
            options->at = seconds;
        }
    }
    return true;
}
