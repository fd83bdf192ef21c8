// The setup dialog's list logic and the scene interface, without any display.
#include "cpp/AbstractScene.h"
#include "cpp/DisplayModeTable.h"
#include "cpp/DisplaySettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<std::string> labelsOf(const DisplayModeTable& table) {
    std::vector<std::string> labels;
    for (int i = 0; i < table.size(); ++i) labels.push_back(table.label(i));
    return labels;
}

class NamedScene : public AbstractScene {
public:
    void draw(const FrameTime*) override { ++draws; }
    int draws = 0;
};
}  // namespace

TEST(DisplaySettingsDefaults, AreSevenTwentyByTwelveEightyFullscreenWithVsync) {
    DisplaySettings settings;
    settings.width = 1;
    settings.fullscreen = false;
    settings.multisampling = 3;
    setDefaultDisplaySettings(settings);
    EXPECT_EQ(settings.width, 720);
    EXPECT_EQ(settings.height, 1280);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_TRUE(settings.vsync);
    EXPECT_EQ(settings.multisampling, 0);
}

TEST(DisplayModeTable, DropsOnlyNeighbouringDuplicatesAndKeepsDriverOrder) {
    DisplayModeTable table;
    // One size per colour depth / refresh rate in a row, then a size seen before.
    const int modes[][2] = {{1920, 1080}, {1920, 1080}, {1920, 1080}, {1280, 720},
                            {1280, 720},  {800, 600},   {1280, 720},  {640, 480}};
    for (const auto& mode : modes) EXPECT_TRUE(table.offer(mode[0], mode[1]));
    EXPECT_EQ(labelsOf(table), (std::vector<std::string>{"1920 * 1080", "1280 * 720", "800 * 600",
                                                         "1280 * 720", "640 * 480"}));
}

TEST(DisplayModeTable, StopsAtFourThousandNinetySixEntries) {
    DisplayModeTable table;
    int offered = 0;
    while (table.offer(100 + offered, 100) && offered < 10000) ++offered;
    EXPECT_EQ(table.size(), DisplayModeTable::kMaxModes);
    EXPECT_EQ(offered, DisplayModeTable::kMaxModes - 1);  // the 4096th offer reports "full"
    EXPECT_FALSE(table.offer(1, 1));
    EXPECT_EQ(table.size(), 4096);
    EXPECT_EQ(table.label(4095), "4195 * 100");
}

TEST(DisplayModeTable, PreselectsTheLastMatchOrNothing) {
    DisplayModeTable table;
    for (auto mode : {std::pair{720, 1280}, {1280, 720}, {720, 1280}, {1024, 768}})
        table.offer(mode.first, mode.second);
    EXPECT_EQ(table.preselection(720, 1280), 2);
    EXPECT_EQ(table.preselection(1280, 720), 1);
    // Width and height must both match; the defaults on a landscape-only display select nothing.
    EXPECT_EQ(table.preselection(1280, 1280), -1);
    EXPECT_EQ(DisplayModeTable().preselection(720, 1280), -1);
}

TEST(DisplayModeTable, RunWithoutSelectionTakesTheDesktopModeAndNeverReadsOutside) {
    DisplayModeTable table;
    table.offer(1280, 1024);
    table.offer(800, 600);
    const DisplayMode desktop{1920, 1080};
    DisplayMode mode;
    ASSERT_TRUE(table.modeForSelection(1, desktop, &mode));
    EXPECT_EQ(mode.width, 800);
    // Nothing (or nothing valid) selected: the desktop's mode, listed or not.
    for (int selection : {-1, 2}) {
        ASSERT_TRUE(table.modeForSelection(selection, desktop, &mode));
        EXPECT_EQ(mode.width, 1920);
        EXPECT_EQ(mode.height, 1080);
    }
    // A desktop mode that cannot be told: the first mode.
    ASSERT_TRUE(table.modeForSelection(-1, DisplayMode{0, 0}, &mode));
    EXPECT_EQ(mode.width, 1280);
    EXPECT_EQ(mode.height, 1024);

    DisplayMode untouched{7, 9};
    EXPECT_FALSE(DisplayModeTable().modeForSelection(-1, DisplayMode{}, &untouched));
    EXPECT_EQ(untouched.width, 7);
}

TEST(SampleCounts, ArePowersOfTwoUpToTheDriverMaximum) {
    EXPECT_EQ(sampleCountLabels(8), (std::vector<std::string>{"1", "2", "4", "8"}));
    EXPECT_EQ(sampleCountLabels(6), (std::vector<std::string>{"1", "2", "4"}));
    EXPECT_TRUE(sampleCountLabels(0).empty());
    EXPECT_TRUE(sampleCountLabels(-5).empty());
    EXPECT_EQ(sampleCountLabels(1), (std::vector<std::string>{"1"}));
    EXPECT_EQ(sampleCountLabels(0x7fffffff).size(), 31u);
}

TEST(SampleCounts, AnEmptyListStoresMinusOne) {
    EXPECT_EQ(multisamplingForSelection(-1, 0), -1);
    EXPECT_EQ(multisamplingForSelection(0, 0), -1);
    EXPECT_EQ(multisamplingForSelection(2, 3), 2);
    EXPECT_EQ(multisamplingForSelection(0, 3), 0);
}

TEST(AbstractScene, NamesComeBackInByteOrderOnceEach) {
    NamedScene scene;
    scene.registerTrack("b");
    scene.registerTrack("a");
    scene.registerTrack("b");
    scene.registerTrack("B");
    scene.registerTrack("cam_x");
    EXPECT_EQ(scene.trackNames(), (std::vector<std::string>{"B", "a", "b", "cam_x"}));
}

TEST(AbstractScene, StartsEmptyWithoutGBufferAndWithIdentityProjection) {
    NamedScene scene;
    EXPECT_TRUE(scene.trackNames().empty());
    EXPECT_EQ(scene.gBuffer, nullptr);
    EXPECT_EQ(scene.projection(), glm::mat4(1.0f));
    glm::mat4 projection(2.0f);
    projection[3][1] = 5.0f;
    scene.setProjection(projection);
    EXPECT_EQ(scene.projection(), projection);
}

TEST(AbstractScene, ParametersKeepDriverValuesAndMissingNamesReadAsZero) {
    NamedScene scene;
    scene.registerTrack("light_intens");
    scene.parameter("light_intens") = 0.75;
    scene.registerTrack("light_intens");  // registering again must not reset the value
    EXPECT_DOUBLE_EQ(scene.parameter("light_intens"), 0.75);
    EXPECT_DOUBLE_EQ(scene.parameter("credits"), 0.0);
    EXPECT_EQ(scene.trackNames(), (std::vector<std::string>{"credits", "light_intens"}));
}
