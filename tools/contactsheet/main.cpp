// contactsheet TIMELINE TEXTUREDIR TIMELINE_PNG TEXTURES_PNG [FONTDIR]
// Draws the sync tracks of a timeline text over the music's sections, and every texture
// of a model directory in a grid. Both pictures are deterministic.
#include "TextureGrid.h"
#include "TimelinePlot.h"
#include "cpp/StandardOptions.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

namespace {
// The music's arrangement, by bar.
const std::vector<art::Section> kSections = {{"intro", 0, 8},   {"build", 8, 24},   {"main", 24, 48},
                                             {"break", 48, 56}, {"finale", 56, 76}, {"outro", 76, 84}};

const char* const kUsage = "usage: contactsheet TIMELINE TEXTUREDIR TIMELINE_PNG TEXTURES_PNG [FONTDIR]\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "contactsheet", kUsage);
    if (answered >= 0) return answered;
    if (argc < 5 || argc > 6) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string fontDir = argc == 6 ? argv[5] : "/usr/share/fonts/truetype/dejavu";
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "contactsheet: cannot read %s\n", argv[1]);
            return 1;
        }
        std::stringstream text;
        text << in.rdbuf();
        synctrack::Timeline timeline;
        std::string why;
        if (!synctrack::parseTimeline(text.str(), argv[1], &timeline, &why)) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        art::TextRenderer font(fontDir + "/DejaVuSans.ttf", 14);
        if (!art::writePng(argv[3], art::plotTimeline(timeline, kSections, font), &why)) {
            std::fprintf(stderr, "contactsheet: %s\n", why.c_str());
            return 1;
        }
        art::Image grid;
        if (!art::textureGrid(argv[2], font, &grid, &why) || !art::writePng(argv[4], grid, &why)) {
            std::fprintf(stderr, "contactsheet: %s\n", why.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contactsheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
