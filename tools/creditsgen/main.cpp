// creditsgen OUTFILE [FONTDIR]: renders the closing credits into a 1024 × 512 RGBA PNG.
// Light text on a fully transparent background; the colour channels hold the text colour
// everywhere (straight alpha) so mipmapped edges do not darken. Row 0 is the top line.
#include "TextRenderer.h"
#include "cpp/StandardOptions.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {
struct Line {
    const char* role;  // empty: one centred line; otherwise role and name either side of the centre
    const char* text;
    bool bold;
    int size;
    int baseline;
};

const Line kLines[] = {
    {"", "HALVANE", true, 112, 150},        {"", "a real-time film by", false, 30, 210},
    {"", "Tavrik - Quenlo", true, 54, 272}, {"code", "Sarnek", false, 34, 348},
    {"music", "Oljeva", false, 34, 394},    {"graphics", "Brightmoss", false, 34, 440},
};

const char* const kUsage = "usage: creditsgen OUTFILE [FONTDIR]\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "creditsgen", kUsage);
    if (answered >= 0) return answered;
    if (argc < 2 || argc > 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string fontDir = argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    try {
        art::TextRenderer regular(fontDir + "/DejaVuSans.ttf", 32);
        art::TextRenderer bold(fontDir + "/DejaVuSans-Bold.ttf", 32);
        art::Image image(1024, 512, 4);
        const std::array<uint8_t, 3> warmWhite{255, 244, 226};
        for (int i = 0; i < image.width * image.height; ++i) {
            image.pixels[i * 4 + 0] = warmWhite[0];
            image.pixels[i * 4 + 1] = warmWhite[1];
            image.pixels[i * 4 + 2] = warmWhite[2];
        }
        for (const Line& line : kLines) {
            art::TextRenderer& font = line.bold ? bold : regular;
            font.setPixelHeight(line.size);
            const std::string role = line.role;
            if (role.empty()) {
                font.draw(image, (image.width - font.width(line.text)) / 2, line.baseline, line.text,
                          warmWhite);
            } else {
                const int gutter = 14;
                font.draw(image, image.width / 2 - gutter - font.width(role), line.baseline, role, warmWhite);
                font.draw(image, image.width / 2 + gutter, line.baseline, line.text, warmWhite);
            }
        }
        std::string why;
        if (!art::writePng(argv[1], image, &why)) {
            std::fprintf(stderr, "creditsgen: %s\n", why.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "creditsgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
