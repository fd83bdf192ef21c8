// texturegen OUTDIR: writes every material's diffuse, normal and specular PNG into OUTDIR.
// The output is a pure function of this program: running it twice gives identical files.
#include "MaterialBake.h"
#include "cpp/StandardOptions.h"

#include <cstdio>
#include <string>

namespace {
const char* const kUsage = "usage: texturegen OUTDIR\n";
}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "texturegen", kUsage);
    if (answered >= 0) return answered;
    if (argc != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string dir = argv[1];
    for (const art::MaterialRecipe& recipe : art::allMaterials()) {
        const art::MaterialMaps maps = art::bakeMaterial(recipe);
        const struct {
            const char* suffix;
            const art::Image* image;
        } outputs[] = {{"_diffuse.png", &maps.diffuse},
                       {"_normal.png", &maps.normal},
                       {"_specular.png", &maps.specular}};
        for (const auto& out : outputs) {
            const std::string path = dir + "/" + recipe.name + out.suffix;
            std::string why;
            if (!art::writePng(path, *out.image, &why)) {
                std::fprintf(stderr, "texturegen: %s\n", why.c_str());
                return 1;
            }
        }
    }
    return 0;
}
