#include "session/plan_listing.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "engine/sweep.h"
#include "resources/main_window_template.h"
#include "session/size_text.h"

namespace {

// A category's group by its box's caption; the bin's groups name their
// bin folder after it: "Empty Waste Basket (/home/u/.local/share/Trash/files)".
std::string GroupCaption(const PlanGroup& group) {
  if (!group.category) return group.label;
  const std::string caption = main_window_template::CategoryCaption(*group.category);
  return group.label.empty() ? caption : caption + " (" + group.label + ")";
}

// One character of UTF-8 at `at`, or nothing where the bytes there are not
// one (a stray byte, a cut or overlong sequence, a surrogate).
std::optional<char32_t> DecodeAt(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  std::size_t length;
  char32_t c;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (at + length > text.size()) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  at += length;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t LowerCase(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
      (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
    return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  // Latin Extended-A pairs its letters, capital first: even capitals up to
  // U+0137 and from U+014A, odd ones in between and from U+0179.
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  return c;
}

// "2 hidden, 1 read-only": the reasons that apply, in their fixed order.
std::string KeptCountsText(std::uint64_t hidden, std::uint64_t readOnly, std::uint64_t system,
                           std::uint64_t inUse, std::uint64_t missing = 0) {
  std::string text;
  const auto add = [&text](std::uint64_t count, const char* reason) {
    if (!count) return;
    if (!text.empty()) text += ", ";
    text += GroupedDigits(count) + " " + reason;
  };
  add(hidden, "hidden");
  add(readOnly, "read-only");
  add(system, "system");
  add(inUse, "in use");
  add(missing, "not found");
  return text;
}

// The reasons in the order a sort by them shows: the files that go first.
int KeptRank(const CleanPlan& plan, std::size_t file) {
  if (plan.MissingAt(file)) return 5;
  switch (plan.SpareAt(file)) {
    case SpareReason::kNone:
      return 0;
    case SpareReason::kHidden:
      return 1;
    case SpareReason::kReadOnly:
      return 2;
    case SpareReason::kSystem:
      return 3;
    case SpareReason::kInUse:
      return 4;
  }
  return 0;
}

}  // namespace

PlanListing::PlanListing(const CleanPlan& plan) : plan_(plan), groups_(plan.Groups().size()) {
  for (std::size_t number = 0; number < groups_.size(); ++number)
    groups_[number].folder = plan.GroupFolder(number);
  const std::size_t count = plan.Count();
  for (std::size_t file = 0; file < count; ++file) {
    Group& group = groups_[plan.GroupAt(file)];
    group.files.push_back(file);
    if (plan.MissingAt(file)) {
      ++totals_.missing;
      ++group.kept;
      continue;
    }
    switch (plan.SpareAt(file)) {
      case SpareReason::kNone:
        ++totals_.toDelete;
        group.bytes += plan.SizeAt(file);
        continue;
      case SpareReason::kHidden:
        ++totals_.hidden;
        break;
      case SpareReason::kReadOnly:
        ++totals_.readOnly;
        break;
      case SpareReason::kSystem:
        ++totals_.system;
        break;
      case SpareReason::kInUse:
        ++totals_.inUse;
        break;
    }
    ++group.kept;
  }
  for (const Group& group : groups_) totals_.bytes += group.bytes;
}

const std::vector<std::size_t>& PlanListing::Rows(std::size_t group) const {
  return filter_.empty() ? groups_[group].files : groups_[group].shown;
}

std::size_t PlanListing::ShownCount() const {
  std::size_t shown = 0;
  for (std::size_t group = 0; group < groups_.size(); ++group) shown += Rows(group).size();
  return shown;
}

std::string PlanListing::GroupHeading(std::size_t number) const {
  const Group& group = groups_[number];
  const PlanGroup& planGroup = plan_.Groups()[number];
  std::string caption = GroupCaption(planGroup);
  // A category's files lie in its folder, which its caption doesn't name.
  if (planGroup.category && planGroup.label.empty() && !group.folder.empty())
    caption += " (" + group.folder + ")";
  std::string text = PathLineText(caption) + ": ";
  if (number < outcome_.size()) {
    const CleanReport::GroupOutcome& outcome = outcome_[number];
    if (outcome.deleted)
      text += FilesText(outcome.deleted) + " deleted (" + ReadableSize(outcome.bytesFreed) + ")";
    else
      text += "nothing deleted";
    if (outcome.leftAlone) text += ", " + GroupedDigits(outcome.leftAlone) + " left alone";
    if (outcome.failed) text += ", " + GroupedDigits(outcome.failed) + " failed";
    if (outcome.vanished) text += ", " + GroupedDigits(outcome.vanished) + " not found";
  } else {
    const std::size_t toDelete = group.files.size() - group.kept;
    if (toDelete == 0)
      text += "nothing to delete";
    else
      text += FilesText(toDelete) + " to delete (" + ReadableSize(group.bytes) + ")";
    if (group.kept) text += ", " + GroupedDigits(group.kept) + " left alone";
  }
  if (!filter_.empty()) text += "; " + GroupedDigits(group.shown.size()) + " of them shown";
  return text;
}

// The path below the group's folder, or the whole path where it lies
// elsewhere.
std::string PlanListing::RelativePath(std::size_t file) const {
  const std::string path = plan_.PathAt(file);
  const std::string& folder = groups_[plan_.GroupAt(file)].folder;
  std::size_t cut = 0;
  if (!folder.empty() && path.size() > folder.size() && path.starts_with(folder)) {
    if (folder.back() == kPathSeparator)
      cut = folder.size();
    else if (path[folder.size()] == kPathSeparator)
      cut = folder.size() + 1;
  }
  return cut ? path.substr(cut) : path;
}

std::string PlanListing::FileText(std::size_t file) const {
  return PathLineText(RelativePath(file));
}

std::string PlanListing::SizeText(std::size_t file) const {
  return plan_.MissingAt(file) ? std::string() : ReadableSize(plan_.SizeAt(file));
}

std::string PlanListing::KeptText(std::size_t file) const {
  return plan_.MissingAt(file) ? "not found" : KeptReasonText(plan_.SpareAt(file));
}

bool PlanListing::IsKept(std::size_t file) const {
  return plan_.MissingAt(file) || plan_.SpareAt(file) != SpareReason::kNone;
}

std::string PlanListing::ContainingFolder(std::size_t file) const {
  const std::string path = plan_.PathAt(file);
#ifdef _WIN32
  // An entry's own path is written as Windows writes paths; the names the
  // sweep adds are joined with the engine's separator.
  const std::size_t slash = path.find_last_of("/\\");
  // "C:\\file": the folder is the drive's root, not the drive's current one.
  const bool root = slash != std::string::npos && slash > 0 && path[slash - 1] == ':';
#else
  const std::size_t slash = path.rfind(kPathSeparator);
  const bool root = slash == 0;
#endif
  if (slash == std::string::npos) return {};
  return path.substr(0, root ? slash + 1 : slash);
}

void PlanListing::SetFilter(std::string text) {
  if (text == filter_) return;
  filter_ = std::move(text);
  foldedFilter_ = FoldedText(filter_);
  ApplyFilter();
}

void PlanListing::ApplyFilter() {
  for (Group& group : groups_) {
    group.shown.clear();
    if (filter_.empty()) continue;
    for (const std::size_t file : group.files)
      if (FoldedText(FileText(file)).find(foldedFilter_) != std::string::npos)
        group.shown.push_back(file);
  }
}

void PlanListing::Sort(int column, bool ascending) {
  for (Group& group : groups_) {
    std::sort(group.files.begin(), group.files.end());
    if (column < 0 || column >= kColumnCount) continue;
    // Each file's key once: a path is built from the plan's names.
    std::vector<std::pair<std::string, std::size_t>> byName;
    std::vector<std::pair<std::uint64_t, std::size_t>> byNumber;
    if (column == kFileColumn) {
      byName.reserve(group.files.size());
      for (const std::size_t file : group.files)
        byName.emplace_back(FoldedText(FileText(file)), file);
    } else {
      byNumber.reserve(group.files.size());
      for (const std::size_t file : group.files)
        byNumber.emplace_back(column == kSizeColumn
                                  ? (plan_.MissingAt(file) ? 0 : plan_.SizeAt(file))
                                  : static_cast<std::uint64_t>(KeptRank(plan_, file)),
                              file);
    }
    const auto order = [ascending](auto& keyed, std::vector<std::size_t>& files) {
      std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
        return ascending ? a.first < b.first : b.first < a.first;
      });
      for (std::size_t at = 0; at < keyed.size(); ++at) files[at] = keyed[at].second;
    };
    if (column == kFileColumn)
      order(byName, group.files);
    else
      order(byNumber, group.files);
  }
  ApplyFilter();
}

void PlanListing::SetOutcome(const CleanReport& report) { outcome_ = report.groups; }

std::string FilesText(std::uint64_t count) {
  return count == 1 ? "1 file" : GroupedDigits(count) + " files";
}

std::string KeptReasonText(SpareReason reason) {
  switch (reason) {
    case SpareReason::kHidden:
      return "hidden";
    case SpareReason::kReadOnly:
      return "read-only";
    case SpareReason::kSystem:
      return "system";
    case SpareReason::kInUse:
      return "in use";
    case SpareReason::kNone:
      break;
  }
  return {};
}

std::string PathLineText(std::string_view path) {
  std::string line;
  line.reserve(path.size());
  for (std::size_t at = 0; at < path.size();) {
    const std::optional<char32_t> c = DecodeAt(path, at);
    if (!c) {
      line += "\xEF\xBF\xBD";  // U+FFFD, for one byte that is not UTF-8
      ++at;
    } else if (*c == '\n') {
      line += "\\n";
    } else if (*c == '\t') {
      line += "\\t";
    } else if (*c < 0x20 || *c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(*c));
      line += escaped;
    } else {
      AppendUtf8(line, *c);
    }
  }
  return line;
}

std::string FoldedText(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    if (const std::optional<char32_t> c = DecodeAt(text, at)) {
      AppendUtf8(folded, LowerCase(*c));
    } else {
      folded += text[at];  // a byte that is not UTF-8 stays as it is
      ++at;
    }
  }
  return folded;
}

const char* const kPreviewIntroText =
    "A clean now, with the boxes, entries and options as they are, would delete these files. "
    "Clean below deletes exactly these: a file that changes or appears after this list was made "
    "is left alone, and so are the greyed ones, for the reason beside them. Sorting and the "
    "filter change only what is shown, never what Clean deletes.";

const char* const kPreviewCleanedIntroText =
    "Clean has run on the files listed here. Each group's heading and the lines below say what "
    "became of them.";

std::string PreviewTotalsText(const PlanTotals& totals) {
  std::string text = totals.toDelete == 0
                         ? "Nothing would be deleted."
                         : FilesText(totals.toDelete) + " would be deleted, freeing " +
                               ReadableTotal(totals.bytes) + ".";
  if (totals.Kept())
    text += " " + FilesText(totals.Kept()) + " would be left alone: " +
            KeptCountsText(totals.hidden, totals.readOnly, totals.system, totals.inUse,
                           totals.missing) +
            ".";
  return text;
}

std::string FilterNoteText(std::size_t shown, std::size_t total, bool cleaned) {
  std::string text = "Showing " + GroupedDigits(shown) + " of " + FilesText(total) + ".";
  if (!cleaned)
    text +=
        " The filter only narrows what is shown: Clean still deletes every file of the list, "
        "shown or not.";
  return text;
}

std::string DeletingProgressText(std::size_t done, std::size_t total) {
  return "Deleting files... " + GroupedDigits(done) + " of " + GroupedDigits(total);
}

std::vector<std::string> CleanReportLines(const CleanReport& report) {
  std::vector<std::string> lines{"Deleted " + FilesText(report.deleted) + ", freeing " +
                                 ReadableTotal(report.bytesFreed) + "."};
  if (const std::string kept = KeptCountsText(report.sparedHidden, report.sparedReadOnly,
                                              report.sparedSystem, report.inUse);
      !kept.empty())
    lines.push_back("Left alone: " + kept + ".");
  if (report.changed)
    lines.push_back("Not deleted because they changed or appeared after the preview: " +
                    GroupedDigits(report.changed) + ".");
  if (report.vanished) lines.push_back("Not found: " + GroupedDigits(report.vanished) + ".");
  if (report.failed)
    lines.push_back("Could not be deleted: " + GroupedDigits(report.failed) +
                    " (listed below, each with the reason).");
  return lines;
}

std::string FailureLineText(const CleanReport::Failure& failure) {
  return PathLineText(failure.path) + ": " + failure.reason;
}
