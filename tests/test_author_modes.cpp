// The authors' modes: each starts exactly at the film's values and gives them back when
// left; the flown camera moves along its view and never pitches over the pole; the
// light moves level with the ground; written keys are what is seen, to the thousandth.
#include "EditModes.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace {

// A camera at (1, 2, 3) looking down at 45 degrees along -z, the light at (0, 5, 0).
const std::map<std::string, double> kFilm = {
    {"ts.eyepos.x", 1.0}, {"ts.eyepos.y", 2.0},  {"ts.eyepos.z", 3.0},  {"ts.tarpos.x", 1.0},
    {"ts.tarpos.y", 1.0}, {"ts.tarpos.z", 2.0},  {"up.x", 0.0},         {"up.y", 1.0},
    {"up.z", 0.0},        {"lightP_Off.x", 0.0}, {"lightP_Off.y", 5.0}, {"lightP_Off.z", 0.0},
    {"bunchpos.x", 0.3},  {"bunchpos.y", 0.1},   {"bunchpos.z", -0.2}};
const EditModes::FilmValue kFilmValue = [](const std::string& track) { return kFilm.at(track); };

glm::vec3 vec(const std::map<std::string, double>& values, const std::string& prefix) {
    return glm::vec3(static_cast<float>(values.at(prefix + "x")), static_cast<float>(values.at(prefix + "y")),
                     static_cast<float>(values.at(prefix + "z")));
}

}  // namespace

TEST(AuthorModes, EachModeStartsAtTheFilmAndLeavesNothingBehind) {
    EditModes modes;
    EXPECT_TRUE(modes.toggle(EditModes::Camera, kFilmValue));
    for (const auto& [track, value] : modes.overrides()) EXPECT_EQ(value, kFilm.at(track)) << track;
    EXPECT_EQ(modes.overrides().size(), 9u);
    EXPECT_TRUE(modes.toggle(EditModes::Light, kFilmValue));
    EXPECT_EQ(modes.active(), EditModes::Light);
    EXPECT_TRUE(modes.toggle(EditModes::Bunch, kFilmValue));
    EXPECT_EQ(modes.overrides().count("bunchpos.x"), 0u);  // the bunch stands in through its tracks
    EXPECT_FALSE(modes.toggle(EditModes::Bunch, kFilmValue));
    EXPECT_EQ(modes.active(), EditModes::Light);  // the movement keys go back to a mode still on
    EXPECT_FALSE(modes.toggle(EditModes::Light, kFilmValue));
    EXPECT_FALSE(modes.toggle(EditModes::Camera, kFilmValue));
    EXPECT_TRUE(modes.overrides().empty());
    EXPECT_FALSE(modes.active().has_value());
}

TEST(AuthorModes, TheCameraFliesAlongItsViewAndTheLightLevel) {
    EditModes modes;
    modes.toggle(EditModes::Camera, kFilmValue);
    const CameraPose film{{1, 2, 3}, {1, 1, 2}, {0, 1, 0}};
    modes.move(std::sqrt(2.0f), 0.5f, 0.0f, film);  // forward along the 45-degree view, right by half
    std::map<std::string, double> now = modes.overrides();
    EXPECT_NEAR(glm::length(vec(now, "ts.eyepos.") - glm::vec3(1.5f, 1.0f, 2.0f)), 0.0f, 1e-5f);
    EXPECT_NEAR(glm::length(vec(now, "ts.tarpos.") - vec(now, "ts.eyepos.") - glm::vec3(0, -1, -1)), 0.0f,
                1e-5f);

    modes.turn(0.0f, -400.0f);  // far past straight down: stops short of it
    now = modes.overrides();
    const glm::vec3 look = glm::normalize(vec(now, "ts.tarpos.") - vec(now, "ts.eyepos."));
    EXPECT_LT(look.y, -0.99f);
    EXPECT_GT(look.y, -1.0f);
    EXPECT_NEAR(glm::length(vec(now, "ts.tarpos.") - vec(now, "ts.eyepos.")), std::sqrt(2.0f), 1e-5f);

    // The light walks level with the ground along the film's view when not flying.
    modes.toggle(EditModes::Camera, kFilmValue);
    modes.toggle(EditModes::Light, kFilmValue);
    modes.move(2.0f, 0.0f, 0.5f, film);
    EXPECT_NEAR(glm::length(vec(modes.overrides(), "lightP_Off.") - glm::vec3(0.0f, 5.5f, -2.0f)), 0.0f,
                1e-5f);
}

TEST(AuthorModes, WrittenKeysAreWhatIsSeen) {
    EditModes modes;
    EXPECT_TRUE(modes.keysToWrite(10).empty());
    modes.toggle(EditModes::Bunch, kFilmValue);
    modes.move(0.12345f, 0.0f, 0.0f, CameraPose{{0, 0, 0}, {0, 0, -1}, {0, 1, 0}});
    const std::vector<keys::Key> written = modes.keysToWrite(1056);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].track, "bunchpos.x");
    EXPECT_EQ(written[2].row, 1056);
    EXPECT_EQ(keys::formatValue(written[2].value), "-0.323");
    const std::map<std::string, double> seen = modes.values(EditModes::Bunch);
    for (const keys::Key& key : written) EXPECT_EQ(static_cast<float>(seen.at(key.track)), key.value);
}
