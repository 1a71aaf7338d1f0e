#include <gtest/gtest.h>

#include "module/WindState.h"

namespace {

TEST(WindStateRecord, LoadValues) {
  WindStateRecord w;
  EXPECT_FALSE(w.WindOn);
  EXPECT_EQ(w.WNDmax, 10);
  EXPECT_EQ(w.TURmax, 10);
  EXPECT_EQ(w.SHRmax, 10);
  EXPECT_EQ(w.WNDlvl, 0);
  EXPECT_EQ(w.TURlvl, 0);
  EXPECT_EQ(w.SHRlvl, 0);
  EXPECT_EQ(w.SHRt, 10);
  EXPECT_EQ(w.SHRt_step[0], 1);
  EXPECT_EQ(w.SHRt_step[1], 10);
  EXPECT_EQ(w.SHRt_step[2], 100);
  EXPECT_EQ(w.SHRt_stpI, 0);
  EXPECT_EQ(w.layerCount, 0);
  EXPECT_TRUE(w.layers.empty());
  EXPECT_EQ(w.windAltLimit, -1.0);
  EXPECT_EQ(w.shearClock, 0.0);
  EXPECT_EQ(w.shearSign, 0);
  EXPECT_EQ(w.shearRise.timeLeft, 0.0);
}

TEST(WindStateRecord, TheGlobalStartsAtTheLoadValues) {
  EXPECT_FALSE(WindState.WindOn);
  EXPECT_EQ(WindState.windAltLimit, -1.0);
  EXPECT_EQ(WindAccel.x, 0.0);
  EXPECT_EQ(WindAccel.y, 0.0);
  EXPECT_EQ(WindAccel.z, 0.0);
}

TEST(WindStateRecord, ClearWindForgetsLayersKeepsSettingsAndStorage) {
  WindStateRecord w;
  w.WindOn = true;
  w.WNDlvl = 3;
  w.TURlvl = 4;
  w.SHRlvl = 5;
  w.SHRt = 77;
  w.SHRt_stpI = 2;
  w.windAltLimit = 12000.0;
  w.layers.assign(5, WindLayer{100.0, 1.0, 0.5});
  w.layerCount = 5;
  size_t capacity = w.layers.capacity();

  w.ClearWind();

  EXPECT_FALSE(w.WindOn);
  EXPECT_EQ(w.layerCount, 0);
  EXPECT_TRUE(w.layers.empty());
  EXPECT_EQ(w.layers.capacity(), capacity);
  EXPECT_EQ(w.WNDlvl, 3);
  EXPECT_EQ(w.TURlvl, 4);
  EXPECT_EQ(w.SHRlvl, 5);
  EXPECT_EQ(w.SHRt, 77);
  EXPECT_EQ(w.SHRt_stpI, 2);
  EXPECT_EQ(w.windAltLimit, 12000.0);
}

}  // namespace
