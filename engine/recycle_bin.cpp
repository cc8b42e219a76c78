#include "engine/recycle_bin.h"

#include "engine/clean_plan.h"

void EmptyRecycleBin(FileSystem& files, TrashFolders& trash, WaitCursor& waitCursor) {
  ScopedWaitCursor cursor(waitCursor);
  const CleanLocations nowhere{};
  CleanSelection selection{
      [](ControlId box) { return box == ControlId::kRecycleBinBox; }, nowhere, {}};
  selection.trash = &trash;
  const CleanSettings options{};
  ExecuteCleanPlan(GatherCleanPlan(selection, options, files, /*guard=*/false), options, files);
}
