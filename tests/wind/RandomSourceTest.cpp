#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <set>

#include "host/Host.h"
#include "platform/Platform.h"
#include "tests/wind/WindTestSupport.h"
#include "wind/RandomSource.h"

namespace {

using wind_test::Lfsr113;
using wind_test::WindTest;

using RandomSourceTest = WindTest;

TEST_F(RandomSourceTest, PublishedDefaultStateGivesThePublishedFirstOutputs) {
  wind_test::SetModuleGenerator(wind_test::kPublishedDefault);
  EXPECT_EQ(RandomSource::NextRandom(), 3952563604u);
  EXPECT_EQ(RandomSource::NextRandom(), 1192989748u);
  EXPECT_EQ(RandomSource::NextRandom(), 2423800670u);
}

TEST_F(RandomSourceTest, OutputsAndWordsFollowThePublishedRecurrence) {
  // Swapped components or parameters would agree with the reference on few
  // of these states at most.
  const Lfsr113 kStates[] = {
      {{2u, 8u, 16u, 128u}},                                   // the minima
      {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}},  // every bit
      {{12345u, 67890u, 13579u, 24680u}},
      {{0x80000000u, 0x00000008u, 0x7FFFFFF0u, 0xDEADBEEFu}},
  };
  for (const Lfsr113& state : kStates) {
    SCOPED_TRACE(testing::Message() << "state " << state.z[0] << " " << state.z[1] << " " << state.z[2] << " "
                                    << state.z[3]);
    Lfsr113 reference = state;
    wind_test::SetModuleGenerator(state);
    for (int n = 0; n < 1000; ++n) {
      uint32_t expected = reference.Next();
      uint32_t actual = RandomSource::NextRandom();
      if (actual != expected) {
        ADD_FAILURE() << "draw " << n << " is " << actual << ", expected " << expected;
        break;
      }
    }
    EXPECT_TRUE(wind_test::ModuleGenerator() == reference) << "state words differ after 1000 draws";
  }
}

TEST_F(RandomSourceTest, UniformRandomReadsTheOutputAsUnsigned) {
  // States whose next output is the named value, found by solving the
  // generator's linear recurrence; the raw output is checked as well.
  struct Case {
    const char* what;
    Lfsr113 state;
    uint32_t raw;
    double uniform;
  };
  const Case kCases[] = {
      {"zero gives exactly 0", {{0xec148cb6u, 0xa46d675bu, 0x19999e4fu, 0xf5437d00u}}, 0u, 0.0},
      {"all ones give exactly 1", {{0x663f423du, 0x56e0a24eu, 0xc878690au, 0x731c8580u}}, 0xFFFFFFFFu, 1.0},
      {"the top bit alone gives just above a half",
       {{0x992149eau, 0xb8e7dfa3u, 0xe1b4a970u, 0xd08cf300u}},
       0x80000000u,
       2147483648.0 / 4294967295.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Lfsr113 probe = c.state;
    ASSERT_EQ(probe.Next(), c.raw);
    wind_test::SetModuleGenerator(c.state);
    double u = RandomSource::UniformRandom();
    EXPECT_EQ(u, c.uniform);
    EXPECT_GE(u, 0.0);
    EXPECT_LE(u, 1.0);
  }
  wind_test::SetModuleGenerator(kCases[2].state);
  EXPECT_GT(RandomSource::UniformRandom(), 0.5) << "a set top bit must not read as a negative number";
}

TEST_F(RandomSourceTest, FirstDrawSeedsTheWordsAtOrAboveTheirMinima) {
  RandomSource::needsSeed = 1;
  RandomSource::z1 = RandomSource::z2 = RandomSource::z3 = RandomSource::z4 = 0;

  uint32_t first = RandomSource::NextRandom();

  EXPECT_EQ(RandomSource::needsSeed, 0u);
  EXPECT_GE(RandomSource::z1, 2u);
  EXPECT_GE(RandomSource::z2, 8u);
  EXPECT_GE(RandomSource::z3, 16u);
  EXPECT_GE(RandomSource::z4, 128u);
  // The seeding draw also steps the generator: its output is the XOR of the
  // new words, not a seed word.
  EXPECT_EQ(first, RandomSource::z1 ^ RandomSource::z2 ^ RandomSource::z3 ^ RandomSource::z4);
}

TEST_F(RandomSourceTest, LaterDrawsDoNotSeedAgain) {
  RandomSource::needsSeed = 1;
  RandomSource::NextRandom();
  Lfsr113 reference = wind_test::ModuleGenerator();
  for (int n = 0; n < 100; ++n) ASSERT_EQ(RandomSource::NextRandom(), reference.Next()) << "draw " << n;
  EXPECT_EQ(RandomSource::needsSeed, 0u);
}

TEST_F(RandomSourceTest, SeedWordIsAFreshMixOnEveryCall) {
  // The counter moves between calls, so a constant would mean the clocks are
  // not read (a fixed seed on every library load).
  std::set<uint32_t> words;
  for (int n = 0; n < 8; ++n) words.insert(RandomSource::SeedWord());
  EXPECT_GT(words.size(), 1u);
}

// The seeding from clocks the host sets. The expected words are worked out
// apart from the module's code, from the documented mix, by this Python 3
// script:
//
//   M = 0xFFFFFFFF
//   def rotl(v, n): n &= 31; return ((v << n) | (v >> (32 - n))) & M
//   def mix(t1, t2, t3, a):  # three counter readings; calendar time + ticks
//       x, y = (t1 >> 32) ^ (t2 & M), a
//       s = ((a + (t3 & M)) * 2147001325 + 715136305) & M
//       for i in range(6):
//           if i: s = (s * 2147001325 + 715136305) & M
//           x = (rotl(y ^ x, y) + s) & M
//           y = (rotl(y ^ x, x) + s) & M
//       return x ^ y
//   def mixes(counter, step, calendar, tick):  # one word for each call
//       a, k = (calendar + tick) & M, 0
//       while True:
//           t1 = counter + 3 * k * step; k += 1  # the counter moves at every reading
//           yield mix(t1, t1 + step, t1 + 2 * step, a)
//   def seed(*clocks):  # z1..z4, each drawn again while below its minimum
//       g, z = mixes(*clocks), []
//       for minimum in (2, 8, 16, 128):
//           w = next(g)
//           while w < minimum: w = next(g)
//           z.append(w)
//       return z
//
// A mix with a chosen result was found by running the six mixing steps
// backwards from it: with s fixed by a chosen a + t3, each step is undone by
// y = rotr(y' - s, x') ^ x', then x = rotr(x' - s, y) ^ y; the y left at the
// start is a, which gives the tick count for the calendar time, and the x the
// counter's high word for its low words. For two low mixes in a row, a + t3
// was tried upwards from 0 until the next mix fell below 128 as well.
constexpr uint64_t kCounterStep = 100;         // cycles between two readings
constexpr int64_t kCalendarTime = 1700000000;  // 14 November 2023

class Seeding : public wind_test::WindTest {
 protected:
  void SetUp() override {
    WindTest::SetUp();
    RandomSource::needsSeed = 1;
    RandomSource::z1 = RandomSource::z2 = RandomSource::z3 = RandomSource::z4 = 0;
  }
  // False where the clocks are the system's own (Windows).
  bool SetClocks(uint64_t counter, uint32_t tickCount) {
    return host.SetClocks(ghost::ClockSetting{counter, kCounterStep, kCalendarTime, tickCount});
  }

  ghost::World world;
  ghost::Host host{world};
};

TEST_F(Seeding, SeedWordMixesTheClocksIntoTheWorkedWords) {
  // mixes(10**12, 100, 1700000000, 300000): a counter of some minutes at a
  // few GHz, a machine up for five minutes.
  if (!SetClocks(1000000000000u, 300000u)) GTEST_SKIP() << "the system's own clocks cannot be set";
  EXPECT_EQ(RandomSource::SeedWord(), 3430046841u);
  EXPECT_EQ(RandomSource::SeedWord(), 3346320531u) << "the counter moved on by three readings";
  EXPECT_EQ(RandomSource::SeedWord(), 1436100539u);
  EXPECT_EQ(RandomSource::SeedWord(), 4151663185u);
}

TEST_F(Seeding, FirstDrawSeedsTheWordsInOrderDrawingEachAgainWhileBelowItsMinimum) {
  struct Case {
    const char* what;
    uint64_t counter;
    uint32_t tickCount;
    uint32_t z1, z2, z3, z4;  // seed(counter, 100, 1700000000, tickCount)
  };
  const Case kCases[] = {
      // mixes 3430046841, 3346320531, 1436100539, 4151663185
      {"no mix below its minimum: z1 to z4 are the first four mixes", 1000000000000u, 300000u, 3430046841u, 3346320531u,
       1436100539u, 4151663185u},
      // mixes 1, 3525900151, 3538849988, 1622335539, 3975969673
      {"the first mix, 1, is below 2: z1 is the second", 5486959133388213818u, 3757801471u, 3525900151u, 3538849988u,
       1622335539u, 3975969673u},
      // mixes 1214776393, 7, 3152031244, 3483203918, 1082338329
      {"the second mix, 7, is below 8: z2 is the third", 64900594115300036u, 2159526473u, 1214776393u, 3152031244u,
       3483203918u, 1082338329u},
      // mixes 3506731586, 2113231691, 15, 3337198895, 2391323259
      {"the third mix, 15, is below 16: z3 is the fourth", 18179299177014598497u, 187330688u, 3506731586u, 2113231691u,
       3337198895u, 2391323259u},
      // mixes 651963511, 2906968613, 2278100198, 127, 2279927793
      {"the fourth mix, 127, is below 128: z4 is the fifth", 9008918053725935916u, 2277241225u, 651963511u, 2906968613u,
       2278100198u, 2279927793u},
      // mixes 644803193, 1632841369, 2023859776, 127, 124, 3253632916
      {"the fourth and fifth mixes, 127 and 124, are below 128: z4 is the sixth", 6863219323851772921u, 3883968246u,
       644803193u, 1632841369u, 2023859776u, 3253632916u},
      {"a first mix of exactly 2 is kept", 7057099649712110671u, 3574354410u, 2u, 2622729217u, 3242241611u,
       3235969847u},
      {"a second mix of exactly 8 is kept", 17404229951666509031u, 2824878118u, 4036676121u, 8u, 328595279u,
       1774852521u},
      {"a third mix of exactly 16 is kept", 4708138314057236157u, 2279755044u, 4289595360u, 817955456u, 16u,
       2687403570u},
      {"a fourth mix of exactly 128 is kept", 8652704155929827699u, 2716709186u, 1963782333u, 951384524u, 2449999417u,
       128u},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    RandomSource::needsSeed = 1;
    if (!SetClocks(c.counter, c.tickCount)) GTEST_SKIP() << "the system's own clocks cannot be set";

    uint32_t first = RandomSource::NextRandom();

    // The seeding draw also steps the generator once.
    Lfsr113 expected = {{c.z1, c.z2, c.z3, c.z4}};
    EXPECT_EQ(first, expected.Next());
    const Lfsr113 actual = wind_test::ModuleGenerator();
    EXPECT_TRUE(actual == expected) << "z1..z4 are " << actual.z[0] << " " << actual.z[1] << " " << actual.z[2] << " "
                                    << actual.z[3] << " one step after the seeding, expected " << expected.z[0] << " "
                                    << expected.z[1] << " " << expected.z[2] << " " << expected.z[3];
  }
}

// A host's setting lasts as long as the host: a module loaded later, by
// another host or none, reads the machine's clocks again.
TEST(SystemClocks, RunFreeAgainWhenTheHostThatSetThemEnds) {
  const int64_t before = static_cast<int64_t>(std::time(nullptr));
  {
    ghost::World world;
    ghost::Host host{world};
    if (!host.SetClocks(ghost::ClockSetting{0, 1, 1000, 0})) GTEST_SKIP() << "the system's own clocks cannot be set";
    ASSERT_EQ(_time64(nullptr), 1000);
  }
  EXPECT_GE(_time64(nullptr), before) << "the calendar time stands where the ended host set it";
}

TEST_F(RandomSourceTest, SetStateMarksTheGeneratorSeeded) {
  RandomSource::needsSeed = 1;
  RandomSource::SetState(2u, 8u, 16u, 128u);
  Lfsr113 reference = {{2u, 8u, 16u, 128u}};
  EXPECT_EQ(RandomSource::NextRandom(), reference.Next());
  EXPECT_EQ(RandomSource::needsSeed, 0u);
}

}  // namespace
