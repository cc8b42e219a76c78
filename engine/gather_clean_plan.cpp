#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/clean_plan_data.h"
#include "engine/in_use_check.h"
#include "engine/repeated_directories.h"
#include "engine/second_thread.h"
#include "engine/sweep.h"
#include "platform/absolute_path.h"
#include "settings/categories.h"

namespace {

using Folder = CleanPlan::Data::Folder;
using Seen = CleanPlan::Data::Seen;

constexpr std::size_t kProgressEvery = 4096;

std::string LabelOf(const CleanEntry& entry) {
  if (entry.individual) return entry.path;
  return entry.path + " (" + entry.wildcard + ")" + (entry.recurse ? ", with sub-folders" : "");
}

// An empty path would make the search start at the root of the file system,
// and one not beginning at the root would name files in whatever directory
// the program was started from (the home, from cron). Such a path (an
// entry left by an edit or a hand-edited profile, or TMP=.) names nothing
// to clean.
bool NamesSomethingToClean(const std::string& path) { return IsAbsolutePath(path); }

// Fills the plan as the sweeps find files.
class PlanBuilder : public SweepListener {
 public:
  PlanBuilder(CleanPlan::Data& plan, FileSystem& files, const CleanSettings& options, bool guard,
              const GatherObserver& observer)
      : plan_(&plan),
        files_(files),
        options_(options),
        guard_(guard),
        keepInodes_(!guard && plan.inUse),
        observer_(&observer),
        budget_(files.DirectoryBudget()),
        held_(std::make_shared<std::atomic<std::size_t>>(0)) {}

  PlanBuilder(const PlanBuilder&) = delete;
  PlanBuilder& operator=(const PlanBuilder&) = delete;

  bool CanFork() const override { return true; }
  std::unique_ptr<SweepListener> Fork() override { return StartFork(*this); }

  void Adopt(SweepListener& other, std::uint32_t parent) override {
    CleanPlan::Data& found = *static_cast<PlanBuilder&>(other).own_;
    const auto base = static_cast<std::uint32_t>(plan_->folders.size());
    for (std::size_t index = 0; index < found.folders.size(); ++index) {
      const std::size_t begin = found.folders[index].firstFile, end = found.EndOf(index);
      Folder& folder = plan_->folders.emplace_back(std::move(found.folders[index]));
      folder.parent = folder.parent == CleanPlan::Data::kNoParent ? parent : folder.parent + base;
      folder.firstFile = plan_->nameAt.size();
      repeats_.Enter(*plan_, static_cast<std::uint32_t>(plan_->folders.size() - 1),
                     folder.identity);
      if (!repeats_.Repeated()) {
        plan_->nameAt.insert(plan_->nameAt.end(), found.nameAt.begin() + begin,
                             found.nameAt.begin() + end);
        if (guard_) {
          plan_->seen.insert(plan_->seen.end(), found.seen.begin() + begin,
                             found.seen.begin() + end);
          if (!found.otherDevices.empty())
            for (std::size_t file = begin; file < end; ++file)
              if (found.seen[file].otherDevice)
                plan_->otherDevices[folder.firstFile + (file - begin)] = found.otherDevices[file];
        }
        if (keepInodes_)
          plan_->listedInode.insert(plan_->listedInode.end(), found.listedInode.begin() + begin,
                                    found.listedInode.begin() + end);
        continue;
      }
      std::string names;
      for (std::size_t file = begin; file < end; ++file) {
        const char* name = folder.names.data() + found.nameAt[file];
        if (repeats_.Listed(name)) continue;
        plan_->nameAt.push_back(static_cast<std::uint32_t>(names.size()));
        names.append(name).push_back('\0');
        if (guard_) {
          plan_->seen.push_back(found.seen[file]);
          if (found.seen[file].otherDevice)
            plan_->otherDevices[plan_->seen.size() - 1] = found.otherDevices[file];
        }
        if (keepInodes_) plan_->listedInode.push_back(found.listedInode[file]);
      }
      folder.names = std::move(names);
      if (folder.held && folder.firstFile == plan_->nameAt.size()) {
        folder.held.reset();
        held_->fetch_sub(1);
      }
    }
    found = CleanPlan::Data();
    if (observer_->onProgress) observer_->onProgress(plan_->nameAt.size());
  }

  void BeginGroup(std::string label, std::optional<ControlId> category = std::nullopt) {
    plan_->groups.push_back({std::move(label), category});
    group_ = static_cast<std::uint32_t>(plan_->groups.size() - 1);
  }

  void AskForTheBin() { plan_->binAsked = true; }

  void Step(const std::string& status) {
    if (observer_->onStep) observer_->onStep(status);
  }

  std::uint32_t OnDirectory(std::uint32_t parent, std::string_view, std::string_view name,
                            const DirectoryIdentity& identity,
                            const std::shared_ptr<Directory>& directory) override {
    Folder& folder = plan_->folders.emplace_back();
    folder.parent = parent == kStart ? CleanPlan::Data::kNoParent : parent;
    folder.group = group_;
    folder.name = name;
    folder.firstFile = plan_->nameAt.size();
    folder.identity = identity;
    folder.bin = bin_ != nullptr;
    listing_ = directory;
    const auto index = static_cast<std::uint32_t>(plan_->folders.size() - 1);
    // A fork's folders are taken in order when they are adopted.
    if (!own_) repeats_.Enter(*plan_, index, identity);
    // A bin folder swapped since it was verified is not the bin.
    passOver_ = bin_ && (identity != bin_->identity || bin_->path.find(kSparedInBin) != npos);
    return index;
  }

  void OnFile(std::string_view name, std::uint64_t inode) override {
    if (passOver_ || repeats_.Listed(name)) return;
    if (bin_ &&
        (name.find(kSparedInBin) != npos || plan_->trash->Keeps(bin_->path, bin_->identity, name)))
      return;
    Folder& folder = plan_->folders.back();
    const std::size_t offset = folder.names.size();
    folder.names.append(name).push_back('\0');
    plan_->nameAt.push_back(static_cast<std::uint32_t>(offset));
    // The look is put off until the listing ends, where it can be shared
    // between two threads.
    if (guard_) plan_->seen.emplace_back();
    if (keepInodes_) plan_->listedInode.push_back(inode);
    Gathered();
  }

  void OnListed() override {
    Folder& folder = plan_->folders.back();
    const std::size_t folderIndex = plan_->folders.size() - 1;
    const bool hasFiles = folder.firstFile < plan_->nameAt.size();
    if (hasFiles && KeepOne()) {
      listing_->FinishListing();
      folder.held = listing_;
    }
    folder.names.shrink_to_fit();
    if (guard_ && hasFiles) {
      if (folder.held && files_.LooksFromAnotherThread() && !looksHere_)
        unlooked_.push_back(folderIndex);
      else
        LookAt(folderIndex, *listing_);
    }
    listing_.reset();
  }

  // One file the user named, its separators written as the system does.
  void AddNamed(const std::string& named) {
    const std::string path = WithSystemSeparators(named);
    FileStatus status;
    if (guard_) {
      status = files_.Status(path);
      // Nothing a deletion could remove.
      if (status.attributes != kInvalidAttributes && (status.attributes & kAttributeDirectory))
        return;
    }
    Folder& folder = plan_->folders.emplace_back();
    folder.group = group_;
    folder.named = true;
    folder.name = path;
    folder.firstFile = plan_->nameAt.size();
    // Which directory the path leads to, as its deletion will follow it.
    const std::size_t slash = LastPathSeparator(path);
    const std::unique_ptr<Directory> parent =
        files_.OpenDirectory(path.substr(0, std::max(slash, RootLength(path))));
    if (const std::optional<DirectoryIdentity> identity =
            parent ? parent->Identity() : std::nullopt) {
      folder.identity = *identity;
      repeats_.Enter(*plan_, static_cast<std::uint32_t>(plan_->folders.size() - 1), *identity);
      if (repeats_.Listed(std::string_view(path).substr(slash + 1))) {
        repeats_.Drop();
        plan_->folders.pop_back();
        return;
      }
    }
    folder.names.assign(1, '\0');
    plan_->nameAt.push_back(0);
    if (guard_) {
      plan_->seen.emplace_back();
      OtherDevices others;
      Record(*plan_, plan_->folders.size() - 1, plan_->nameAt.size() - 1, status, others);
      plan_->otherDevices.insert(others.begin(), others.end());
    }
    if (keepInodes_) plan_->listedInode.push_back(0);
    Gathered();
  }

  // The files directly in the bin folder `bin` of `trash`, which was found
  // to be the directory `verified`.
  void SweepBin(TrashFolders& trash, const std::string& bin, const DirectoryIdentity& verified) {
    plan_->trash = &trash;
    const BinFolder folder{bin, verified};
    bin_ = &folder;
    Sweep(files_, *this, bin, "/*.*", 0);
    bin_ = nullptr;
    passOver_ = false;
  }

  void Finish() {
    LookAtTheKeptFolders();
    MarkFilesInUse(*plan_);
    for (const Seen& seen : plan_->seen)
      if (!seen.missing && seen.spare == SpareReason::kNone) plan_->totalBytes += seen.size;
    if (observer_->onProgress) observer_->onProgress(plan_->nameAt.size());
  }

 private:
  struct BinFolder {
    const std::string& path;
    DirectoryIdentity identity;
  };

  // Not a file's own name, but anywhere in its path: a file the bin keeps.
  static constexpr std::string_view kSparedInBin = "desktop.ini";
  static constexpr std::size_t npos = std::string_view::npos;

  // Files not on their folder's device, and the device: the looks of one
  // thread, taken into the plan's otherDevices after.
  using OtherDevices = std::vector<std::pair<std::size_t, std::uint64_t>>;

  // What a look at a file of `folder` found, as its entry in `plan.seen`.
  void Record(CleanPlan::Data& plan, std::size_t folder, std::size_t file, const FileStatus& status,
              OtherDevices& others) const {
    Seen& seen = plan.seen[file];
    seen.missing = status.attributes == kInvalidAttributes;
    if (seen.missing) return;
    seen.otherDevice = status.device != plan.folders[folder].identity.device;
    if (seen.otherDevice) others.emplace_back(file, status.device);
    seen.inode = status.inode;
    seen.size = status.size;
    seen.modified = status.modified;
    seen.born = status.born;
    seen.spare = plan.folders[folder].bin ? SpareReasonInBin(status.attributes)
                                          : SpareReasonOf(status.attributes, options_);
  }

  // Looks at every file of the folder, in `directory`, the folder's own.
  void LookAt(std::size_t folder, Directory& directory, OtherDevices& others) {
    for (std::size_t file = plan_->folders[folder].firstFile, end = plan_->EndOf(folder);
         file < end; ++file)
      Record(*plan_, folder, file, files_.StatusIn(directory, plan_->NameOf(folder, file)), others);
  }
  void LookAt(std::size_t folder, Directory& directory) {
    OtherDevices others;
    LookAt(folder, directory, others);
    plan_->otherDevices.insert(others.begin(), others.end());
  }

  // The folders whose look was put off: the later half of their files on
  // the second thread, the rest here.
  void LookAtTheKeptFolders() {
    if (unlooked_.empty()) return;
    std::size_t files = 0;
    for (const std::size_t folder : unlooked_)
      files += plan_->EndOf(folder) - plan_->folders[folder].firstFile;
    std::size_t split = 0;
    for (std::size_t first = 0; split < unlooked_.size() && 2 * first < files; ++split)
      first += plan_->EndOf(unlooked_[split]) - plan_->folders[unlooked_[split]].firstFile;
    OtherDevices others[2];
    SecondThread second([this, split, &others](const std::stop_token& stop) {
      for (std::size_t index = split; index < unlooked_.size() && !stop.stop_requested(); ++index)
        LookAt(unlooked_[index], *plan_->folders[unlooked_[index]].held, others[1]);
    });
    for (std::size_t index = 0; index < split; ++index)
      LookAt(unlooked_[index], *plan_->folders[unlooked_[index]].held, others[0]);
    second.Join();
    for (const OtherDevices& found : others) plan_->otherDevices.insert(found.begin(), found.end());
    unlooked_.clear();
  }

  bool KeepOne() {
    if (held_->fetch_add(1) < budget_) return true;
    held_->fetch_sub(1);
    return false;
  }

  void Gathered() {
    if (observer_->onProgress && plan_->nameAt.size() % kProgressEvery == 0)
      observer_->onProgress(plan_->nameAt.size());
  }

  // A builder of a plan of its own, filled on the sweep's second thread:
  // it starts with what the sweep doesn't change and shares the budget; it
  // looks at the files there and then, and tells no progress.
  static std::unique_ptr<PlanBuilder> StartFork(const PlanBuilder& from) {
    std::unique_ptr<PlanBuilder> fork(new PlanBuilder(ForkOf{}, from));
    fork->plan_ = fork->own_.get();
    return fork;
  }
  struct ForkOf {};
  PlanBuilder(ForkOf, const PlanBuilder& from)
      : plan_(nullptr),
        files_(from.files_),
        options_(from.options_),
        guard_(from.guard_),
        keepInodes_(from.keepInodes_),
        observer_(&kSilent),
        budget_(from.budget_),
        held_(from.held_),
        group_(from.group_),
        own_(std::make_unique<CleanPlan::Data>()),
        looksHere_(true) {}

  static inline const GatherObserver kSilent{};

  CleanPlan::Data* plan_;
  FileSystem& files_;
  const CleanSettings& options_;
  const bool guard_;
  const bool keepInodes_;  // for the check of files in use at deletion
  const GatherObserver* observer_;
  const std::size_t budget_;
  // Directories kept open by the builder and its forks together.
  std::shared_ptr<std::atomic<std::size_t>> held_;
  std::uint32_t group_ = 0;
  std::shared_ptr<Directory> listing_;    // of the folder being filled
  std::vector<std::size_t> unlooked_;     // kept folders whose files are yet to be looked at
  std::unique_ptr<CleanPlan::Data> own_;  // a fork's
  bool looksHere_ = false;                // a fork looks at files as they are listed
  RepeatedDirectories repeats_;           // of the plan, on the first thread only
  const BinFolder* bin_ = nullptr;        // while a bin folder is swept
  bool passOver_ = false;                 // the files of the folder being listed
};

void GatherCategories(const CleanSelection& selection, FileSystem& files, PlanBuilder& plan) {
  for (const Category& category : kCategories) {
    if (!selection.isTicked || !selection.isTicked(category.box)) continue;
    bool grouped = false;
    for (const CategorySweep& sweep : category.sweeps) {
      const std::string& directory = selection.locations.*sweep.directory;
      if (!NamesSomethingToClean(directory)) continue;
      if (!grouped) plan.BeginGroup({}, category.box);
      grouped = true;
      plan.Step(sweep.status);
      Sweep(files, plan, directory, sweep.pattern, sweep.recurse);
    }
  }
}

void GatherEntries(const CleanSelection& selection, FileSystem& files, PlanBuilder& plan) {
  for (const CleanEntry& entry : selection.entries) {
    if (!NamesSomethingToClean(entry.path)) continue;
    plan.BeginGroup(LabelOf(entry));
    if (entry.individual) {
      plan.AddNamed(entry.path);
      continue;
    }
    plan.Step("Searching in " + entry.path + " for files matching " + entry.wildcard);
    // Paths are shown as the system writes them, also where typed otherwise.
    std::string directory = WithSystemSeparators(entry.path);
    if (!directory.empty() && IsPathSeparator(directory.back())) directory.pop_back();
    Sweep(files, plan, directory, kPathSeparator + entry.wildcard, entry.recurse);
  }
}

// Emptying the bin follows the deletions, so its files come last. Each bin
// folder is verified to be its trash's own and made normal while it is
// listed (a read-only one could not be emptied otherwise), then it gets
// its attributes back.
void GatherRecycleBin(const CleanSelection& selection, FileSystem& files, PlanBuilder& plan) {
  if (!selection.trash || !selection.isTicked || !selection.isTicked(ControlId::kRecycleBinBox))
    return;
  TrashFolders& trash = *selection.trash;
  plan.AskForTheBin();
  for (const std::string& bin : trash.BinFolders()) {
    const std::optional<DirectoryIdentity> verified = trash.VerifyBinFolder(bin);
    if (!verified) continue;
    plan.BeginGroup(bin, ControlId::kRecycleBinBox);
    const FileAttributes saved = files.GetAttributes(bin);
    if (files.SetNormal(bin, saved)) plan.SweepBin(trash, bin, *verified);
    files.RestoreAttributes(bin, saved);
  }
}

}  // namespace

CleanPlan GatherCleanPlan(const CleanSelection& selection, const CleanSettings& options,
                          FileSystem& files, bool guard, const GatherObserver& observer) {
  CleanPlan plan;
  CleanPlan::Data& data = plan.data();
  data.guarded = guard;
  data.hiddenAllowed = options.m_bDelHiddenFiles != 0;
  StartFindingFilesInUse(data, files);
  PlanBuilder builder(data, files, options, guard, observer);
  GatherCategories(selection, files, builder);
  GatherEntries(selection, files, builder);
  GatherRecycleBin(selection, files, builder);
  builder.Finish();
  return plan;
}
