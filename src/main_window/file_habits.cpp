#include "main_window/file_habits.h"

#include <algorithm>
#include <utility>

#include "main_window/file_names.h"

namespace lumora {

namespace {

// What a kept list may hold: absolute paths, each once, at most kRecentFiles of them. A
// damaged or hand-edited settings file can hold anything else.
std::vector<std::string> Sound(std::vector<std::string> list) {
  std::vector<std::string> sound;
  for (std::string& path : list) {
    if (sound.size() == FileHabits::kRecentFiles) break;
    if (IsAbsolutePath(path) && std::ranges::find(sound, path) == sound.end()) {
      sound.push_back(std::move(path));
    }
  }
  return sound;
}

std::size_t Index(FileKind kind) {
  return static_cast<std::size_t>(kind);
}

}  // namespace

FileHabits::FileHabits(FileHabitsStore& store, Exists exists)
    : store_(store), exists_(std::move(exists)) {}

FileHabitsRecord& FileHabits::Record() {
  if (!record_) {
    FileHabitsRecord kept = store_.Load();
    for (std::string& folder : kept.folders) {
      if (!IsAbsolutePath(folder)) folder.clear();
    }
    kept.recentSequences = Sound(std::move(kept.recentSequences));
    kept.recentProjects = Sound(std::move(kept.recentProjects));
    record_ = std::move(kept);
  }
  return *record_;
}

std::vector<std::string>* FileHabits::RecentList(FileKind kind) {
  switch (kind) {
    case FileKind::Sequence:
      return &Record().recentSequences;
    case FileKind::Project:
      return &Record().recentProjects;
    case FileKind::Listing:
      break;
  }
  return nullptr;
}

std::string FileHabits::StartFolder(FileKind kind) {
  const std::string& folder = Record().folders[Index(kind)];
  return !folder.empty() && exists_(folder) ? folder : std::string();
}

std::vector<std::string> FileHabits::Recent(FileKind kind) {
  std::vector<std::string> there;
  if (const auto* list = RecentList(kind)) {
    std::ranges::copy_if(*list, std::back_inserter(there), exists_);
  }
  return there;
}

void FileHabits::Used(FileKind kind, const std::string& path) {
  if (!IsAbsolutePath(path)) return;
  Record().folders[Index(kind)] = FolderOf(path);
  if (auto* list = RecentList(kind)) {
    // The files gone make room: the list keeps the ones that can still be opened.
    std::vector<std::string> updated{path};
    for (std::string& kept : *list) {
      if (kept != path && updated.size() < kRecentFiles && exists_(kept)) {
        updated.push_back(std::move(kept));
      }
    }
    *list = std::move(updated);
  }
  store_.Save(*record_);
}

}  // namespace lumora
