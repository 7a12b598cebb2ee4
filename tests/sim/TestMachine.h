// Shared set-up for the agent's host tests: a fresh simulated machine and
// agent state per test.
#pragma once

#include "AgentState.h"
#include "DiscMaker.h"
#include "SimTest.h"

class MachineTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    ResetAgentState();
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
