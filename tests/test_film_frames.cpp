// Reference frames of the film: the headless renderer draws chosen times through the
// program's own driver, scene and passes, and the frames must match the committed
// references up to rounding. Leaving out any one pass must break the match.
#include "GLwrappers/PngReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kFrames = {"frame_0020.000.png", "frame_0062.000.png", "frame_0118.000.png",
                                          "frame_0165.000.png"};
const char* const kTimes = "--time 20 --time 62 --time 118 --time 165";

// A pixel counts as different when a channel moves by more than this many levels:
// rounding and filtering differences stay well below it.
constexpr int kLevelTolerance = 15;
// Share of pixels allowed to differ: one in a thousand.
constexpr double kPixelTolerance = 0.001;

struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/hv_frames_XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
};

int runFrames(const std::string& arguments) {
    std::string command = std::string(HV_BINARY_DIR) + "/halvane-frames --dir " + HV_BINARY_DIR + "/run " +
                          arguments + " > /dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The share of pixels that differ beyond the level tolerance.
double differingShare(const fs::path& a, const fs::path& b) {
    std::unique_ptr<PngImage> first, second;
    read_png_file(first, a.c_str());
    read_png_file(second, b.c_str());
    EXPECT_EQ(first->width, second->width);
    EXPECT_EQ(first->height, second->height);
    EXPECT_EQ(first->pixels.size(), second->pixels.size());
    if (first->pixels.size() != second->pixels.size()) return 1.0;
    const int channels = first->bitsPerPixel / 8;
    size_t differing = 0;
    for (size_t i = 0; i < first->pixels.size(); i += channels) {
        for (int c = 0; c < channels; ++c) {
            if (std::abs(int(first->pixels[i + c]) - int(second->pixels[i + c])) > kLevelTolerance) {
                ++differing;
                break;
            }
        }
    }
    return static_cast<double>(differing) / (static_cast<double>(first->width) * first->height);
}

fs::path reference(const std::string& frame) { return fs::path(HV_TEST_DATA_DIR) / "frames" / frame; }

}  // namespace

TEST(FilmFrames, MatchTheReferences) {
    TempDir out;
    ASSERT_EQ(runFrames("--size 320x200 " + std::string(kTimes) + " --out " + out.path.string()), 0);
    for (const std::string& frame : kFrames) {
        ASSERT_TRUE(fs::exists(out.path / frame)) << frame;
        EXPECT_LE(differingShare(reference(frame), out.path / frame), kPixelTolerance) << frame;
    }
}

TEST(FilmFrames, LeavingOutAnyPassBreaksTheMatch) {
    for (const char* pass : {"tree", "shadow", "credits", "bloom"}) {
        TempDir out;
        ASSERT_EQ(runFrames("--size 320x200 --without " + std::string(pass) + " " + kTimes + " --out " +
                            out.path.string()),
                  0)
            << pass;
        double worst = 0.0;
        for (const std::string& frame : kFrames)
            worst = std::max(worst, differingShare(reference(frame), out.path / frame));
        EXPECT_GT(worst, 2 * kPixelTolerance) << "a film without " << pass << " would pass the comparison";
    }
}

TEST(FilmFrames, RefusesBadArguments) {
    EXPECT_EQ(runFrames("--size 10x10 --time 1 --out /tmp"), 2);
    EXPECT_EQ(runFrames("--time -1 --out /tmp"), 2);
    EXPECT_EQ(runFrames("--time 1"), 2);
    EXPECT_EQ(runFrames("--without fog --time 1 --out /tmp"), 2);
    EXPECT_EQ(runFrames("--time 500 --out /tmp/hv_frames_past_end"), 1);
    fs::remove_all("/tmp/hv_frames_past_end");
}

// A run directory whose film is broken the way a user breaks it: the tool says why and
// ends with status 1, never with an abort or a box waiting for a click.
TEST(FilmFrames, ASceneThatCannotLoadOrDrawIsItsMessageAndStatusOne) {
    const fs::path run = fs::path(HV_BINARY_DIR) / "run";
    struct Breakage {
        const char* remove;
        const char* message;
    };
    const Breakage breakages[] = {
        {"data/credits.png", "data/credits.png could not be opened for reading"},
        {"shaders/pp.fp", "Cannot find file: "},
        {"data/Collada2/slither_specular.png", "the branches expect texture slither_specular.png"},
    };
    for (const Breakage& breakage : breakages) {
        TempDir dir, out;
        for (const char* part : {"data/Collada2", "shaders"}) {
            fs::create_directories(dir.path / part);
            for (const auto& entry : fs::directory_iterator(run / part))
                fs::create_symlink(entry.path(), dir.path / part / entry.path().filename());
        }
        for (const auto& entry : fs::directory_iterator(run)) {
            if (entry.path().extension() == ".track")
                fs::create_symlink(entry.path(), dir.path / entry.path().filename());
        }
        fs::create_symlink(run / "data/music.mp3", dir.path / "data/music.mp3");
        fs::create_symlink(run / "data/credits.png", dir.path / "data/credits.png");
        fs::remove(dir.path / breakage.remove);
        const fs::path log = out.path / "stderr";
        const std::string command = std::string(HV_BINARY_DIR) + "/halvane-frames --dir " +
                                    dir.path.string() + " --size 64x40 --time 1 --out " + out.path.string() +
                                    " > /dev/null 2> " + log.string();
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << breakage.remove << ": ended by a signal";
        EXPECT_EQ(WEXITSTATUS(status), 1) << breakage.remove;
        std::ifstream in(log);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find(breakage.message), std::string::npos) << breakage.remove << ": " << text;
    }
}

TEST(FilmFrames, AFrameDependsOnItsTimeAlone) {
    TempDir together, alone;
    ASSERT_EQ(runFrames("--size 160x100 --time 12.51 --time 95 --out " + together.path.string()), 0);
    ASSERT_EQ(runFrames("--size 160x100 --time 95 --out " + alone.path.string()), 0);
    std::unique_ptr<PngImage> first, second;
    read_png_file(first, (together.path / "frame_0095.000.png").c_str());
    read_png_file(second, (alone.path / "frame_0095.000.png").c_str());
    EXPECT_TRUE(first->pixels == second->pixels);
}

// Same height, same vertical field of view: the 16:9 frame's middle is the 16:10 frame.
TEST(FilmFrames, AWideFrameShowsMoreAtTheSidesNotAStretchedPicture) {
    TempDir narrow, wide;
    ASSERT_EQ(runFrames("--size 320x200 --time 62 --out " + narrow.path.string()), 0);
    ASSERT_EQ(runFrames("--size 356x200 --time 62 --out " + wide.path.string()), 0);
    std::unique_ptr<PngImage> a, b;
    read_png_file(a, (narrow.path / "frame_0062.000.png").c_str());
    read_png_file(b, (wide.path / "frame_0062.000.png").c_str());
    const int channels = a->bitsPerPixel / 8;
    ASSERT_EQ(b->bitsPerPixel / 8, channels);
    // Mean level difference of the 16:10 frame against a window of the wide one, shifted by `offset`.
    auto meanDifference = [&](int offset, bool stretched) {
        double sum = 0.0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) {
                const int bx = stretched ? x * 356 / 320 : x + offset;
                for (int c = 0; c < 3; ++c)
                    sum += std::abs(int(a->pixels[(y * 320 + x) * channels + c]) -
                                    int(b->pixels[(y * 356 + bx) * channels + c]));
            }
        return sum / (320.0 * 200.0 * 3.0);
    };
    const double centred = meanDifference(18, false);
    EXPECT_LT(centred, 3.0);
    EXPECT_LT(centred * 2, meanDifference(0, true));
    EXPECT_LT(centred * 2, meanDifference(0, false));
}

namespace {

// Luma per pixel (Rec. 601 weights on the stored sRGB levels).
std::vector<double> luma(const PngImage& image) {
    const int channels = image.bitsPerPixel / 8;
    std::vector<double> values;
    for (size_t i = 0; i + 2 < image.pixels.size(); i += channels)
        values.push_back(0.299 * image.pixels[i] + 0.587 * image.pixels[i + 1] + 0.114 * image.pixels[i + 2]);
    return values;
}

// The energy of the steps between neighbouring pixels, across and down: what stair-steps
// along beams and racks add to, and what averaging sub-pixel renders takes away.
double stepEnergy(const PngImage& image) {
    const std::vector<double> y = luma(image);
    double energy = 0.0;
    for (int row = 0; row < image.height; ++row)
        for (int column = 0; column < image.width; ++column) {
            const double here = y[static_cast<size_t>(row) * image.width + column];
            if (column + 1 < image.width) energy += std::pow(y[static_cast<size_t>(row) * image.width + column + 1] - here, 2);
            if (row + 1 < image.height) energy += std::pow(y[static_cast<size_t>(row + 1) * image.width + column] - here, 2);
        }
    return energy;
}

double meanLevel(const PngImage& image) {
    double sum = 0.0;
    for (uint8_t level : image.pixels) sum += level;
    return sum / static_cast<double>(image.pixels.size());
}

}  // namespace

// One sample is the frame as it always was; four keep its level, soften its edges and
// still depend on the film time alone.
TEST(FilmFrames, SamplesSmoothEdgesKeepTheLevelAndDependOnTheTimeAlone) {
    TempDir plain, one, four, fourAfterOthers;
    ASSERT_EQ(runFrames("--size 320x200 --time 62 --out " + plain.path.string()), 0);
    ASSERT_EQ(runFrames("--size 320x200 --samples 1 --time 62 --out " + one.path.string()), 0);
    ASSERT_EQ(runFrames("--size 320x200 --samples 4 --time 62 --out " + four.path.string()), 0);
    ASSERT_EQ(runFrames("--size 320x200 --samples 4 --time 20 --time 61.5 --time 62 --out " +
                        fourAfterOthers.path.string()),
              0);
    std::unique_ptr<PngImage> unsampled, single, averaged, later;
    read_png_file(unsampled, (plain.path / "frame_0062.000.png").c_str());
    read_png_file(single, (one.path / "frame_0062.000.png").c_str());
    read_png_file(averaged, (four.path / "frame_0062.000.png").c_str());
    read_png_file(later, (fourAfterOthers.path / "frame_0062.000.png").c_str());
    ASSERT_TRUE(unsampled && single && averaged && later);
    EXPECT_TRUE(single->pixels == unsampled->pixels);
    EXPECT_TRUE(later->pixels == averaged->pixels);
    EXPECT_NEAR(meanLevel(*averaged), meanLevel(*single), 1.0);
    const double sharp = stepEnergy(*single), smooth = stepEnergy(*averaged);
    EXPECT_LT(smooth, 0.8 * sharp) << "step energy " << smooth << " with four samples, " << sharp << " with one";

    EXPECT_EQ(runFrames("--samples 0 --time 1 --out /tmp"), 2);
    EXPECT_EQ(runFrames("--samples 65 --time 1 --out /tmp"), 2);
}
