#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The full paths gathered by a sweep, in the order they were found. It only
// grows at its end; it is never sorted and never freed of duplicates.
class FileList {
 public:
  void Append(std::string path) { paths_.push_back(std::move(path)); }
  std::size_t Count() const { return paths_.size(); }
  const std::string& At(std::size_t index) const { return paths_[index]; }

  auto begin() const { return paths_.begin(); }
  auto end() const { return paths_.end(); }

 private:
  std::vector<std::string> paths_;
};
