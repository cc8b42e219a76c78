#include "engine/recycle_bin.h"

#include "engine/file_list.h"
#include "engine/sweep.h"

namespace {

void EmptyBinFolder(FileSystem& files, TrashFolders& trash, const std::string& bin) {
  const std::optional<DirectoryIdentity> verified = trash.VerifyBinFolder(bin);
  if (!verified) return;
  FileList gathered;
  const FileAttributes saved = files.GetAttributes(bin);
  if (files.SetNormal(bin, saved)) SweepDirectory(files, gathered, bin, "/*.*", 0);
  {
    ScopedFileBatch batch(files);
    for (std::size_t index = 0; index < gathered.Count(); ++index) {
      const std::string& path = gathered.At(index);
      const ListedIn listedIn = gathered.ListedInAt(index);
      // Listed elsewhere: the bin folder was swapped since it was verified.
      if (listedIn != verified) continue;
      if (path.find("desktop.ini") != std::string::npos) continue;
      const std::string_view name = std::string_view(path).substr(bin.size() + 1);
      if (trash.Keeps(bin, *verified, name)) continue;
      // Deleted as they are: a read-only file is refused, as the system's
      // own delete would refuse it.
      if (files.GetAttributes(path, listedIn) & kAttributeReadOnly) continue;
      if (files.RemoveFile(path, listedIn)) trash.ForgetDeletedFile(bin, *verified, name);
    }
  }
  files.RestoreAttributes(bin, saved);
}

}  // namespace

void EmptyRecycleBin(FileSystem& files, TrashFolders& trash, WaitCursor& waitCursor) {
  ScopedWaitCursor cursor(waitCursor);
  for (const std::string& bin : trash.BinFolders()) EmptyBinFolder(files, trash, bin);
}
