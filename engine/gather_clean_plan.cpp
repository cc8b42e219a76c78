#include <atomic>
#include <cerrno>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/background_task.h"
#include "engine/clean_plan.h"
#include "engine/clean_plan_data.h"
#include "engine/sweep.h"
#include "resources/main_window_template.h"
#include "settings/categories.h"

namespace {

using Folder = CleanPlan::Data::Folder;
using Seen = CleanPlan::Data::Seen;

constexpr std::size_t kProgressEvery = 4096;

// The caption of the category's box, as the window shows it but without
// its access key.
std::string CaptionOf(ControlId box) {
  for (const DialogControl& control : main_window_template::kControls) {
    if (control.id != static_cast<int>(box)) continue;
    std::string caption;
    for (const char* c = control.text; *c; ++c)
      if (*c != '&') caption += *c;
    return caption;
  }
  return {};
}

std::string LabelOf(const CleanEntry& entry) {
  if (entry.individual) return entry.path;
  return entry.path + " (" + entry.wildcard + ")" + (entry.recurse ? ", with sub-folders" : "");
}

// An empty path would make the search start at the root of the file system,
// and one not beginning at the root would name files in whatever directory
// the program was started from (the home, from cron). Such an entry (left by
// an edit or a hand-edited profile) names nothing to clean.
bool NamesSomethingToClean(const CleanEntry& entry) {
  const std::string_view path = entry.path;
#ifdef _WIN32
  // On Windows a path begins at a drive's root (C:\Temp, C:/Temp) or at a
  // share (\\server\share); \Temp and C:Temp depend on the current drive
  // and directory.
  const bool driveRoot =
      path.size() >= 3 &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
      path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  return driveRoot || path.starts_with("\\\\") || path.starts_with("//");
#else
  return path.starts_with(kPathSeparator);
#endif
}

// Fills the plan as the sweeps find files.
class PlanBuilder : public SweepListener {
 public:
  PlanBuilder(CleanPlan::Data& plan, FileSystem& files, const CleanSettings& options, bool guard,
              const GatherObserver& observer)
      : plan_(&plan),
        files_(files),
        options_(options),
        guard_(guard),
        observer_(&observer),
        budget_(files.DirectoryBudget()),
        held_(std::make_shared<std::atomic<std::size_t>>(0)) {}

  // A builder of a plan of its own, filled on the sweep's second thread:
  // it looks at the files there and then, and tells no progress.
  std::unique_ptr<SweepListener> Fork() override {
    std::unique_ptr<PlanBuilder> fork(new PlanBuilder(*this));
    fork->plan_ = fork->own_.get();
    return fork;
  }

  void Adopt(SweepListener& other, std::uint32_t parent) override {
    CleanPlan::Data& found = *static_cast<PlanBuilder&>(other).own_;
    const auto base = static_cast<std::uint32_t>(plan_->folders.size());
    const std::size_t firstFile = plan_->nameAt.size();
    for (Folder& folder : found.folders) {
      folder.parent = folder.parent == CleanPlan::Data::kNoParent ? parent : folder.parent + base;
      folder.firstFile += firstFile;
      plan_->folders.push_back(std::move(folder));
    }
    plan_->nameAt.insert(plan_->nameAt.end(), found.nameAt.begin(), found.nameAt.end());
    plan_->seen.insert(plan_->seen.end(), found.seen.begin(), found.seen.end());
    found = CleanPlan::Data();
    if (observer_->onProgress) observer_->onProgress(plan_->nameAt.size());
  }

  void BeginGroup(std::string label) {
    plan_->groups.push_back({std::move(label)});
    group_ = static_cast<std::uint32_t>(plan_->groups.size() - 1);
  }

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
    listing_ = directory;
    return static_cast<std::uint32_t>(plan_->folders.size() - 1);
  }

  void OnFile(std::string_view name) override {
    Folder& folder = plan_->folders.back();
    const std::size_t offset = folder.names.size();
    folder.names.append(name).push_back('\0');
    plan_->nameAt.push_back(static_cast<std::uint32_t>(offset));
    // The look is put off until the listing ends, where it can be shared
    // between two threads.
    if (guard_) plan_->seen.emplace_back();
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

  // One file the user named, taken as named.
  void AddNamed(const std::string& path) {
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
    folder.names.assign(1, '\0');
    folder.firstFile = plan_->nameAt.size();
    plan_->nameAt.push_back(0);
    if (guard_) Record(status, options_, plan_->seen.emplace_back());
    Gathered();
  }

  void Finish() {
    LookAtTheKeptFolders();
    for (const Seen& seen : plan_->seen)
      if (!seen.missing && seen.spare == SpareReason::kNone) plan_->totalBytes += seen.size;
    if (observer_->onProgress) observer_->onProgress(plan_->nameAt.size());
  }

 private:
  static void Record(const FileStatus& status, const CleanSettings& options, Seen& seen) {
    seen.missing = status.attributes == kInvalidAttributes;
    if (seen.missing) return;
    seen.device = status.device;
    seen.inode = status.inode;
    seen.size = status.size;
    seen.modified = status.modified;
    seen.spare = SpareReasonOf(status.attributes, options);
  }

  // Looks at every file of the folder, in `directory`, the folder's own.
  void LookAt(std::size_t folder, Directory& directory) {
    for (std::size_t file = plan_->folders[folder].firstFile, end = plan_->EndOf(folder);
         file < end; ++file)
      Record(files_.StatusIn(directory, plan_->NameOf(folder, file)), options_, plan_->seen[file]);
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
    BackgroundTask second;
    second.Start([this, split] {
      for (std::size_t index = split; index < unlooked_.size(); ++index)
        LookAt(unlooked_[index], *plan_->folders[unlooked_[index]].held);
    });
    for (std::size_t index = 0; index < split; ++index)
      LookAt(unlooked_[index], *plan_->folders[unlooked_[index]].held);
    second.Wait();
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

  // A fork's start: what the sweep doesn't change, and the budget shared.
  PlanBuilder(const PlanBuilder& from)
      : plan_(nullptr),
        files_(from.files_),
        options_(from.options_),
        guard_(from.guard_),
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
  const GatherObserver* observer_;
  const std::size_t budget_;
  // Directories kept open by the builder and its forks together.
  std::shared_ptr<std::atomic<std::size_t>> held_;
  std::uint32_t group_ = 0;
  std::shared_ptr<Directory> listing_;    // of the folder being filled
  std::vector<std::size_t> unlooked_;     // kept folders whose files are yet to be looked at
  std::unique_ptr<CleanPlan::Data> own_;  // a fork's
  bool looksHere_ = false;                // a fork looks at files as they are listed
};

void GatherCategories(const CleanSelection& selection, FileSystem& files, PlanBuilder& plan) {
  for (const Category& category : kCategories) {
    if (!selection.isTicked || !selection.isTicked(category.box)) continue;
    bool grouped = false;
    for (const CategorySweep& sweep : category.sweeps) {
      const std::string& directory = selection.locations.*sweep.directory;
      if (directory.empty()) continue;
      if (!grouped) plan.BeginGroup(CaptionOf(category.box));
      grouped = true;
      plan.Step(sweep.status);
      Sweep(files, plan, directory, sweep.pattern, sweep.recurse);
    }
  }
}

void GatherEntries(const CleanSelection& selection, FileSystem& files, PlanBuilder& plan) {
  for (const CleanEntry& entry : selection.entries) {
    if (!NamesSomethingToClean(entry)) continue;
    plan.BeginGroup(LabelOf(entry));
    if (entry.individual) {
      plan.AddNamed(entry.path);
      continue;
    }
    plan.Step("Searching in " + entry.path + " for files matching " + entry.wildcard);
    std::string directory = entry.path;
    if (directory.ends_with(kPathSeparator)) directory.pop_back();
    Sweep(files, plan, directory, kPathSeparator + entry.wildcard, entry.recurse);
  }
}

}  // namespace

CleanPlan GatherCleanPlan(const CleanSelection& selection, const CleanSettings& options,
                          FileSystem& files, bool guard, const GatherObserver& observer) {
  CleanPlan plan;
  CleanPlan::Data& data = plan.data();
  data.guarded = guard;
  data.hiddenAllowed = options.m_bDelHiddenFiles != 0;
  PlanBuilder builder(data, files, options, guard, observer);
  GatherCategories(selection, files, builder);
  GatherEntries(selection, files, builder);
  builder.Finish();
  return plan;
}
