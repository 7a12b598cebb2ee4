// A fresh simulated machine per test, and a check that the test left no
// handle open and read no file past its end.
#pragma once

#include <gtest/gtest.h>

#include "SimMachine.h"

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override {
    EXPECT_EQ(0, sim::OpenHandles()) << "a handle was left open";
    EXPECT_EQ(0, sim::ReadsPastEnd()) << "a file was read after its end had been seen";
  }
};
