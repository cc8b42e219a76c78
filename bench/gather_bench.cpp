// The sweep alone, as --preview makes it: gathers a plan of every "*.tmp"
// below DIR (one wildcard entry with sub-folders) and prints how many files
// it holds; deletes nothing. bench/preview_bench.sh times it against
// `dustral --preview`.
//
//   dustral_gather_bench DIR [guarded]

#include <cstdio>
#include <string>

#include "engine/clean_plan.h"
#include "platform/posix/posix_file_system.h"

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "guarded")) {
    std::fprintf(stderr, "usage: %s DIR [guarded]\n", argv[0]);
    return 2;
  }
  const CleanLocations nowhere;
  CleanEntry entry;
  entry.path = argv[1];
  entry.wildcard = "*.tmp";
  entry.recurse = 1;
  const CleanSelection selection{[](ControlId) { return false; }, nowhere, {entry}};
  PosixFileSystem files;
  const CleanPlan plan = GatherCleanPlan(selection, CleanSettings{}, files, argc == 3);
  std::printf("%zu files\n", plan.Count());
  return 0;
}
