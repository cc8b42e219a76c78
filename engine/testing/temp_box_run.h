#pragma once

#include "engine/clean_run.h"
#include "engine/testing/fake_platform.h"
#include "testing/recording_controls.h"

// The in-memory window and platform of one run on `files`, the Temp box
// ticked, for the tests that need a file system of their own.
struct TempBoxRun {
  explicit TempBoxRun(FileSystem& files) : platform{files, trash, launcher} {
    boxes.SetCheck(ControlId::kTempBox, 1);
  }
  void Run(const CleanLocations& locations) {
    RunClean(window, locations, CleanSettings{}, platform);
  }

  FakeTrashFolders trash;
  FakeProgramLauncher launcher;
  PlatformServices platform;
  MemoryCheckBoxes boxes;
  RecordingStatusLine status;
  CountingWaitCursor cursor;
  MemoryListControl list;
  ScriptedMessageBox messages;
  EntryList entries{list, messages};
  CleanRunWindow window{boxes, status, cursor, entries, {}};
};
