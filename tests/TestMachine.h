// Shared set-up for host tests: a fresh simulated machine per test, and a
// check that the test left no handle open.
#pragma once

#include <gtest/gtest.h>

#include "AgentState.h"
#include "DiscMaker.h"
#include "SimMachine.h"

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetAgentState();
  }
  void TearDown() override {
    EXPECT_EQ(0, sim::OpenHandles()) << "a handle was left open";
    EXPECT_EQ(0, sim::ReadsPastEnd()) << "a file was read after its end had been seen";
  }

  // Puts a disc into a CD-ROM drive, adding the drive when it is new.
  static void Insert(char letter, const disc::Disc& made) {
    sim::AddDrive(letter, DRIVE_CDROM);
    std::string root = std::string(1, letter) + ":\\";
    sim::RemoveEntry(root);
    sim::AddFolder(root);
    for (const auto& file : made.files) sim::AddFile(root + file.first, file.second);
    sim::InsertMedia(letter, made.label, made.serial);
  }
};
