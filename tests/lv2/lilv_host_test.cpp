// The plug-in in our own lilv host: blocks of any length at several rates, long runs split in
// place, notes and the song position placing stops and spin-ups, state round trips and
// refusals, and the timer thread at work inside the host.
#include "lilv_host.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "test_signal.h"

namespace reelstop::lv2::test {
namespace {

constexpr const char* kMono = "https://ferncliff.example/plugins/reelstop#mono";
constexpr const char* kStereo = "https://ferncliff.example/plugins/reelstop#stereo";
constexpr float kLatencyFrames = 2.0f;

// Runs `frames` of the noise from frame `from` and appends the output to `played`.
void play(TestInstance& instance, Signal& played, int64_t from, int frames, bool inPlace = false) {
  const Signal out = instance.run(noise(instance.channels(), frames, from), inPlace);
  for (size_t c = 0; c < out.size(); ++c) played[c].insert(played[c].end(), out[c].begin(), out[c].end());
}

// The first frame from which the first channel stops being the input, two frames late.
int64_t firstDeparture(const Signal& played) {
  for (size_t i = 0; i < played[0].size(); ++i) {
    if (played[0][i] != noiseSample(static_cast<int64_t>(i) - 2, 0)) return static_cast<int64_t>(i);
  }
  return -1;
}

TEST(LilvHost, BlocksOfAnyLengthAtEveryRateWithOrWithoutOptions) {
  const LilvBundle bundle;
  const LV2_Feature* const noFeatures[] = {nullptr};
  EXPECT_EQ(lilv_plugin_instantiate(bundle.plugin(kStereo), 48000.0, noFeatures), nullptr) << "urid:map is required";
  for (const char* uri : {kMono, kStereo}) {
    for (double rate : {44100.0, 48000.0, 96000.0}) {
      for (int maxBlock : {0, 4096}) {
        TestInstance instance(bundle, uri, rate, maxBlock);
        int64_t position = 0;
        int run = 0;
        for (int frames : {0, 1, 17, 4096, 0, 5000, 17, 1, 4096}) {
          // "Stop" flips every other run, so stops and spin-ups are cut by every length.
          instance.control("stop") = static_cast<float>(run++ / 2 % 2);
          const Signal out = instance.run(noise(instance.channels(), frames, position));
          position += frames;
          ASSERT_EQ(instance.latency(), kLatencyFrames) << "after a run of " << frames;
          for (const auto& channel : out) {
            ASSERT_EQ(channel.size(), static_cast<size_t>(frames));
            for (float sample : channel) ASSERT_TRUE(std::isfinite(sample)) << uri << " at " << rate << " Hz";
          }
        }
      }
    }
  }
}

TEST(LilvHost, LongRunsSplitInPlaceWithMisalignedEventsMatchSmallBlocksWithTheNotesOnTheirFrames) {
  const LilvBundle bundle;
  constexpr int kLongRun = 10000;  // split at the 4096-frame bound
  constexpr int kShortRun = 500;
  constexpr int64_t kNoteOn = 15003;
  constexpr int64_t kNoteOff = 19250;
  TestInstance split(bundle, kStereo, 48000.0, 4096);
  split.misalignEvents();
  TestInstance small(bundle, kStereo, 48000.0, 4096);
  Signal splitOut(2), smallOut(2);
  auto sendNotes = [&](TestInstance& instance, int64_t from, int frames) {
    for (const auto& [frame, status] : {std::pair{kNoteOn, 0x90}, std::pair{kNoteOff, 0x80}}) {
      if (frame >= from && frame < from + frames) {
        instance.midi(static_cast<uint32_t>(frame - from), static_cast<uint8_t>(status), 60, 100);
      }
    }
  };
  for (int64_t from = 0; from < 3 * kLongRun; from += kLongRun) {
    sendNotes(split, from, kLongRun);
    play(split, splitOut, from, kLongRun, true);
  }
  for (int64_t from = 0; from < 3 * kLongRun; from += kShortRun) {
    sendNotes(small, from, kShortRun);
    play(small, smallOut, from, kShortRun);
  }
  EXPECT_GT(firstDeparture(splitOut), kNoteOn) << "the note stops the tape, not before it arrives";
  EXPECT_LT(firstDeparture(splitOut), kNoteOn + 100);
  EXPECT_EQ(splitOut, smallOut) << "a split run plays as the same blocks would";
}

TEST(LilvHost, TheSongPositionPlacesTheStopOnItsFrameAndTheSpinUpOnTheSnapGrid) {
  const LilvBundle bundle;
  constexpr double kRate = 48000.0;
  constexpr int kBlock = 512;
  TestInstance instance(bundle, kStereo, kRate, kBlock);
  // A short linear stop leaves the live signal visibly on the frame after it begins.
  instance.control("auto") = 0.0f;
  instance.control("ramp") = 1.0f;
  instance.control("stop_time") = 10.0f;
  // The song rolls from frame 100 of the first run, a quarter beat past a beat; the host says
  // nothing more, so the wrapper moves the position on by itself.
  constexpr uint32_t kSongStart = 100;
  const Position song{1.0f, 120.0f, 4.0f, 4, 2, 1.25f};
  const double songStartPpq = (2 * 4 + 1.25) * 4 / 4;
  const double beatsPerFrame = 120.0 / 60.0 / kRate;
  Signal played(2);
  int64_t position = 0;
  auto playBlock = [&] {
    play(instance, played, position, kBlock);
    position += kBlock;
  };
  instance.position(kSongStart, song);
  for (int b = 0; b < 20; ++b) playBlock();
  const int64_t noteOn = position + 37;
  instance.midi(37, 0x90, 60, 100);
  for (int b = 0; b < 30; ++b) playBlock();
  const int64_t noteOff = position + 211;
  instance.midi(211, 0x80, 60, 0);
  for (int b = 0; b < 60; ++b) playBlock();

  EXPECT_EQ(firstDeparture(played), noteOn + 1);
  // Back on the live signal for good from the frame where the spin-up ends.
  auto landed = static_cast<int64_t>(played[0].size());
  while (landed > noteOff && played[0][static_cast<size_t>(landed - 1)] == noiseSample(landed - 3, 0)) --landed;
  ASSERT_GT(static_cast<double>(landed), static_cast<double>(noteOff) + kRate * 0.2)
      << "a spin-up of at least half the 400 ms asked for";
  const double landedPpq = songStartPpq + static_cast<double>(landed - kSongStart) * beatsPerFrame;
  EXPECT_NEAR(landedPpq, std::round(landedPpq), beatsPerFrame / 2) << "Snap 1/4: on a whole beat, to the frame";
}

// The first frame from which the first channel stays silent to the end; its size if none.
int64_t silentFrom(const Signal& played) {
  auto frame = static_cast<int64_t>(played[0].size());
  while (frame > 0 && played[0][static_cast<size_t>(frame - 1)] == 0.0f) --frame;
  return frame;
}

// Ardour sends the transport on an audio track only to the input for the transport alone; a host
// that feeds both may send positions on either, and the newest one by frame holds.
TEST(LilvHost, TheNewestPositionFromEitherInputPlacesTheAutoStopOnItsBeat) {
  const LilvBundle bundle;
  constexpr double kRate = 48000.0;
  constexpr int kBlock = 4096;
  constexpr double kBeatFrames = kRate * 60.0 / 120.0;
  // The song at a beat line on frame 0, and half a beat on at frame 200: a quarter beat apart.
  const Position onTheBeat{1.0f, 120.0f, 4.0f, 4, 0, 0.0f};
  const Position halfABeatOn{1.0f, 120.0f, 4.0f, 4, 0, 0.5f};
  constexpr uint32_t kLaterFrame = 200;
  // A note held from frame 1000 stops the tape until the whole beat nearest one beat on: with the
  // later position, beat 2 of the song, at frame 200 + 1.5 beats. From the earlier one it would
  // be beat 1 at 24000, and with no song at all one beat of the plug-in's own 120 bpm: 25000.
  constexpr int64_t kNoteOn = 1000;
  const auto stopEnd = static_cast<int64_t>(kLaterFrame + 1.5 * kBeatFrames);
  struct Case {
    const char* name;
    bool earlier;             // send onTheBeat at frame 0
    EventInput earlierInput;  // ... on this input
    EventInput laterInput;    // and halfABeatOn at kLaterFrame on this one
  };
  for (const Case& c : {Case{"the transport input alone", false, EventInput::kControl, EventInput::kTransport},
                        Case{"newest on the transport input", true, EventInput::kControl, EventInput::kTransport},
                        Case{"newest on the MIDI input", true, EventInput::kTransport, EventInput::kControl}}) {
    for (const char* uri : {kMono, kStereo}) {
      TestInstance instance(bundle, uri, kRate, kBlock);
      if (c.earlier) instance.position(0, onTheBeat, c.earlierInput);
      instance.position(kLaterFrame, halfABeatOn, c.laterInput);
      instance.midi(kNoteOn, 0x90, 60, 100);
      Signal played(static_cast<size_t>(instance.channels()));
      for (int64_t from = 0; from < 12 * kBlock; from += kBlock) play(instance, played, from, kBlock);
      EXPECT_GT(firstDeparture(played), kNoteOn) << c.name << ", " << uri;
      EXPECT_LT(firstDeparture(played), kNoteOn + 100) << c.name << ", " << uri << ": the stop begins at the note";
      // The platter's last few frames turn too slowly to sound, whatever the two frames of latency.
      EXPECT_NEAR(static_cast<double>(silentFrom(played)), static_cast<double>(stopEnd), 8.0)
          << c.name << ", " << uri << ": silent from the beat line";
    }
  }
}

// Replaces the first stored double equal to `from` in a state chunk by `to`.
void replaceDouble(std::vector<uint8_t>& chunk, double from, double to) {
  for (size_t pos = 0; pos + sizeof from <= chunk.size(); ++pos) {
    if (std::memcmp(&chunk[pos], &from, sizeof from) == 0) {
      std::memcpy(&chunk[pos], &to, sizeof to);
      return;
    }
  }
  FAIL() << from << " is not in the chunk";
}

TEST(LilvHost, StateComesBackExactlyAndARefusedChunkChangesNothing) {
  const LilvBundle bundle;
  // A value no 32-bit port can hold: only the chunk carries it exactly.
  constexpr double kWeight = 72.123456789;
  TestInstance saved(bundle, kStereo, 48000.0, 512);
  saved.control("stop_time") = 1234.5f;
  saved.control("ramp") = 2.0f;
  saved.control("weight") = static_cast<float>(kWeight);
  saved.run(noise(2, 64));
  std::vector<uint8_t> chunk = saved.savedChunk();
  ASSERT_EQ(chunk.size(), 168u);
  replaceDouble(chunk, static_cast<float>(kWeight), kWeight);
  const LV2_URID chunkType = saved.urids().map(LV2_ATOM__Chunk);
  ASSERT_EQ(saved.restoreProperty(chunk.data(), chunk.size(), chunkType), LV2_STATE_SUCCESS);
  saved.run(noise(2, 64));
  LV2_URID type = 0;
  EXPECT_EQ(saved.savedChunk(&type), chunk) << "the restored value stays, whatever the port holds";
  EXPECT_EQ(type, chunkType);
  const StatePtr session = saved.saveState(true);
  const StatePtr preset = saved.saveState(false);

  // A session carries the ports and the chunk: every value comes back to the last bit.
  TestInstance reopened(bundle, kStereo, 48000.0, 512);
  reopened.run(noise(2, 64));
  reopened.restoreState(*session);
  reopened.run(noise(2, 64));
  EXPECT_EQ(reopened.savedChunk(), chunk);
  EXPECT_EQ(reopened.control("weight"), static_cast<float>(kWeight));

  // A preset of the chunk alone takes effect over ports the host left where they were, and a
  // port the host moves afterwards still counts.
  TestInstance recalled(bundle, kStereo, 48000.0, 512);
  recalled.control("stop_time") = 500.0f;
  recalled.run(noise(2, 64));
  recalled.restoreState(*preset);
  recalled.run(noise(2, 64));
  EXPECT_EQ(recalled.savedChunk(), chunk);
  recalled.control("stop_time") = 700.0f;
  recalled.run(noise(2, 64));
  EXPECT_NE(recalled.savedChunk(), chunk);

  // A port the host moved and saved before any block ran is in the chunk all the same.
  TestInstance unplayed(bundle, kStereo, 48000.0, 512);
  unplayed.control("stop_time") = 2345.0f;
  const std::vector<uint8_t> unplayedChunk = unplayed.savedChunk();
  double stopTimeMs = 0.0;
  std::memcpy(&stopTimeMs, unplayedChunk.data() + 16 + sizeof(double), sizeof stopTimeMs);
  EXPECT_EQ(stopTimeMs, 2345.0);

  // Refusals: a missing property, a wrong type, another version, a chunk cut inside the values.
  TestInstance untouched(bundle, kStereo, 48000.0, 512);
  const std::vector<uint8_t> before = untouched.savedChunk();
  EXPECT_EQ(untouched.restoreProperty(nullptr, 0, chunkType), LV2_STATE_ERR_NO_PROPERTY);
  EXPECT_EQ(untouched.restoreProperty(chunk.data(), chunk.size(), untouched.urids().map(LV2_ATOM__String)),
            LV2_STATE_ERR_BAD_TYPE);
  std::vector<uint8_t> otherVersion = chunk;
  otherVersion[0] = 2;
  EXPECT_EQ(untouched.restoreProperty(otherVersion.data(), otherVersion.size(), chunkType), LV2_STATE_ERR_UNKNOWN);
  EXPECT_EQ(untouched.restoreProperty(chunk.data(), 100, chunkType), LV2_STATE_ERR_UNKNOWN);
  untouched.run(noise(2, 64));
  EXPECT_EQ(untouched.savedChunk(), before) << "nothing of a refused chunk stays";
  EXPECT_EQ(untouched.restoreProperty(chunk.data(), chunk.size(), chunkType), LV2_STATE_SUCCESS);
  EXPECT_EQ(untouched.savedChunk(), chunk);
}

// The timer thread writes the recording while the host keeps playing and changing its tempo: the
// file tells the tempo the recording was made at, taken by the audio thread, not the one of the
// moment of writing (read across threads, that was a data race).
TEST(LilvHost, TheTimerThreadWritesTheCaptureWhileTheHostPlays) {
  namespace fs = std::filesystem;
  char folder[] = "/tmp/reelstop-lv2-capture-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const fs::path capture = fs::path(folder) / "Reelstop" / "capture";
  fs::create_directories(capture);
  std::ofstream(capture / "reelstop-capture.on").put('\n');
  setenv("XDG_DATA_HOME", folder, 1);
  {
    const LilvBundle bundle;
    TestInstance instance(bundle, kStereo, 48000.0, 4096);
    // Thirty seconds from the first sound fill the recording; only the timer writes it out.
    constexpr int64_t kFrames = 31 * 48000;
    int64_t from = 0;
    for (; from < kFrames; from += 4096) {
      instance.position(0, {1.0f, 100.0f, 4.0f, 4, 0, 0.0f});
      instance.run(noise(2, 4096, from));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (float bpm = 140.0f; !fs::exists(capture / "reelstop-capture-speed.csv");
         bpm = bpm < 180.0f ? bpm + 1.0f : 140.0f) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no timer tick within 5 s";
      instance.position(0, {1.0f, bpm, 3.0f, 4, 0, 0.0f});
      instance.run(noise(2, 4096, from));
      from += 4096;
    }
  }  // the timer has finished writing once the instance is gone
  EXPECT_TRUE(fs::exists(capture / "reelstop-capture.wav"));
  std::ifstream csv(capture / "reelstop-capture-speed.csv");
  std::string context;
  std::getline(csv, context);
  EXPECT_EQ(context.rfind("# sr,48000,bpm,100,", 0), 0u) << context;
  EXPECT_NE(context.find(",beats_per_bar,4,"), std::string::npos) << context;
  unsetenv("XDG_DATA_HOME");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace reelstop::lv2::test
