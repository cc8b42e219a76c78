#include "engine/clean_plan.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/clean_plan_data.h"
#include "engine/sweep.h"

std::size_t CleanPlan::Data::FolderOf(std::size_t file) const {
  // The last folder whose run begins at or before the file: folders without
  // files share their beginning with the next one.
  const auto after = std::upper_bound(
      folders.begin(), folders.end(), file,
      [](std::size_t index, const Folder& folder) { return index < folder.firstFile; });
  return static_cast<std::size_t>(after - folders.begin()) - 1;
}

std::string CleanPlan::Data::FolderPath(std::size_t folder) const {
  std::vector<const std::string*> names;
  for (std::size_t at = folder; at != kNoParent; at = folders[at].parent)
    names.push_back(&folders[at].name);
  std::string path = *names.back();
  for (auto name = names.rbegin() + 1; name != names.rend(); ++name)
    path.append(1, kPathSeparator).append(**name);
  return path;
}

std::string CleanPlan::Data::FilePath(std::size_t folder, std::size_t file) const {
  if (folders[folder].named) return folders[folder].name;
  return FolderPath(folder).append(1, kPathSeparator).append(NameOf(folder, file));
}

CleanPlan::CleanPlan() : data_(std::make_unique<Data>()) {}
CleanPlan::~CleanPlan() = default;
CleanPlan::CleanPlan(CleanPlan&&) noexcept = default;
CleanPlan& CleanPlan::operator=(CleanPlan&&) noexcept = default;

std::size_t CleanPlan::Count() const { return data_->nameAt.size(); }

std::string CleanPlan::PathAt(std::size_t index) const {
  return data_->FilePath(data_->FolderOf(index), index);
}

std::uint64_t CleanPlan::SizeAt(std::size_t index) const {
  return data_->guarded ? data_->seen[index].size : 0;
}

std::size_t CleanPlan::GroupAt(std::size_t index) const {
  return data_->folders[data_->FolderOf(index)].group;
}

SpareReason CleanPlan::SpareAt(std::size_t index) const {
  if (data_->guarded) return data_->seen[index].spare;
  const std::size_t folder = data_->FolderOf(index);
  // The bin's rules know only read-only, which needs a look.
  if (data_->folders[folder].bin) return SpareReason::kNone;
  const char* name = data_->folders[folder].named ? nullptr : data_->NameOf(folder, index);
  if (!name) {
    const std::string& path = data_->folders[folder].name;
    const std::size_t slash = LastPathSeparator(path);
    name = path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
  }
  return name[0] == '.' && !data_->hiddenAllowed ? SpareReason::kHidden : SpareReason::kNone;
}

bool CleanPlan::MissingAt(std::size_t index) const {
  return data_->guarded && data_->seen[index].missing;
}

const std::vector<PlanGroup>& CleanPlan::Groups() const { return data_->groups; }

namespace {

// The path without the separators at its end, its root's excepted.
std::string WithoutEndSeparators(std::string path) {
  while (path.size() > RootLength(path) && IsPathSeparator(path.back())) path.pop_back();
  return path;
}

// Where a sweep began: a root given without its separator ("" for "/",
// "C:" for "C:\" on Windows) is that root.
std::string SweptFolder(const std::string& start) {
  const std::string root = start + kPathSeparator;
  return RootLength(root) > start.size() ? root : WithoutEndSeparators(start);
}

std::string FolderOfNamedFile(const std::string& path) {
  const std::size_t slash = LastPathSeparator(path);
  if (slash == std::string::npos) return {};
  return WithoutEndSeparators(path.substr(0, slash + 1));
}

// The deepest folder that holds both: "/a/b" and "/a/bc" share "/a", "/a"
// and "/b" the root "/".
std::string SharedFolder(const std::string& a, const std::string& b) {
  std::size_t same = 0;
  while (same < a.size() && same < b.size() &&
         (a[same] == b[same] || (IsPathSeparator(a[same]) && IsPathSeparator(b[same]))))
    ++same;
  const auto boundary = [](const std::string& path, std::size_t at) {
    return at == path.size() || IsPathSeparator(path[at]);
  };
  std::size_t end = same;
  if (!boundary(a, same) || !boundary(b, same))
    end = same == 0 ? std::string::npos : LastPathSeparator(a, same - 1);
  const std::size_t root = RootLength(a);
  if (end == std::string::npos || end < root)
    return root > 0 && root <= same ? a.substr(0, root) : "";
  return a.substr(0, end);
}

}  // namespace

std::string CleanPlan::GroupFolder(std::size_t group) const {
  std::optional<std::string> shared;
  for (const Data::Folder& folder : data_->folders) {
    if (folder.group != group || (folder.parent != Data::kNoParent && !folder.named)) continue;
    const std::string start =
        folder.named ? FolderOfNamedFile(folder.name) : SweptFolder(folder.name);
    shared = shared ? SharedFolder(*shared, start) : start;
  }
  return shared.value_or(std::string());
}

std::uint64_t CleanPlan::TotalBytes() const { return data_->totalBytes; }

bool CleanPlan::Guarded() const { return data_->guarded; }
