// The transport by bars, its loop and its log, on a clock the test moves; and the
// silent output (what Xvfb machines have) holding and moving its position with it.
#include "Transport.h"

#include "platform/Bass.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

struct FakeClock : MusicClock {
    double now = 0.0;
    bool paused = false;
    double seconds() override { return now; }
    void setPaused(bool p) override { paused = p; }
    void seek(double s) override { now = s; }
};

struct Rig {
    FakeClock clock;
    std::vector<std::string> log;
    std::vector<double> seeks;
    Transport transport{clock, BarGrid::fromRows(8, 4, 16.0), 171.5,
                        [this](const std::string& line) { log.push_back(line); },
                        [this](double s) { seeks.push_back(s); }};
};

}  // namespace

TEST(AuthorTransport, BarsSeekToBarLinesWithinTheFilmAndSayWhere) {
    Rig rig;
    rig.clock.now = 23.51;  // bar 11, beat 3
    EXPECT_EQ(rig.transport.grid().barAt(23.51), 11);
    EXPECT_EQ(rig.transport.grid().beatAt(23.51), 3);
    EXPECT_EQ(rig.transport.grid().barAt(23.99999999), 12);  // a frame-rounded bar line
    rig.transport.stepBars(1);
    rig.transport.stepBars(8);
    rig.transport.stepBars(-1);
    rig.transport.stepBars(-100);
    rig.transport.stepBars(1000);  // the last bar that has film in it
    rig.transport.home();
    EXPECT_EQ(rig.log, (std::vector<std::string>{"seek 24.000", "seek 40.000", "seek 38.000", "seek 0.000",
                                                 "seek 170.000", "seek 0.000"}));
    EXPECT_EQ(rig.seeks, (std::vector<double>{24, 40, 38, 0, 170, 0}));
}

TEST(AuthorTransport, PauseHoldsTheMusicAndTheLoopWrapsOnItsBars) {
    Rig rig;
    rig.clock.now = 16.7;
    rig.transport.togglePause();
    EXPECT_TRUE(rig.clock.paused);
    rig.transport.setLoopStart();
    rig.clock.now = 19.2;
    rig.transport.setLoopEnd();
    rig.transport.togglePause();
    EXPECT_FALSE(rig.clock.paused);
    rig.clock.now = 19.99;
    rig.transport.tick();
    rig.clock.now = 20.01;
    rig.transport.tick();
    EXPECT_EQ(rig.clock.now, 16.0);
    rig.transport.clearLoop();
    rig.clock.now = 171.5;
    rig.transport.tick();  // the music's end pauses there
    EXPECT_TRUE(rig.transport.paused());
    rig.transport.togglePause();  // and playing on starts again
    EXPECT_EQ(rig.log, (std::vector<std::string>{"pause 16.700", "loop start 16.000", "loop end 20.000",
                                                 "play 19.200", "loop 16.000", "loop clear", "end 171.500",
                                                 "play 0.000"}));
}

TEST(AuthorTransport, TheSilentOutputFollowsPauseAndSeek) {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, HV_SOURCE_DIR "/data/music.mp3", 0, 0, 0);
    ASSERT_NE(stream, 0u);
    auto seconds = [stream] { return BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE)); };
    EXPECT_GT(bassLengthSeconds(stream), 150.0);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    ASSERT_TRUE(bassPause(stream, true));
    ASSERT_TRUE(bassSeek(stream, 96.0));
    EXPECT_EQ(seconds(), 96.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(seconds(), 96.0);  // paused: the position holds
    ASSERT_TRUE(bassPause(stream, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GT(seconds(), 96.0);
    ASSERT_TRUE(bassSeek(stream, 1e9));  // clamped to the end: the stream has played
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_FALSE(bassSeek(stream + 1, 1.0));
    BASS_Free();
}
