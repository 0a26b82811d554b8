#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumora {

// How the temporary file of a save comes to be. An unnamed one has no name until it is
// complete, so a save killed before the rename leaves nothing behind; a named one is the road
// where the file system refuses unnamed files (tests take it on purpose).
enum class SaveTemporary { Unnamed, Named };

// A file written as a whole or not at all, in as many pieces as it comes: a temporary file
// beside the target takes the bytes, and Commit flushes it to disk, renames it over the
// target and flushes the folder, so that a saved file survives a power cut. The new file
// keeps the mode of the one it replaces, and its owner and group where the process may. A
// symbolic link stays as it is: the save lands on the file its links end at, created if it is
// missing; anything there that is no regular file (a folder, device, pipe or socket) is left
// alone and the save fails. A temporary that a killed save left named beside the target is
// removed by the next save of that target once the process that made it is gone. Until
// Commit succeeds the previous file is unchanged, and a save that is not committed leaves no
// temporary behind.
class AtomicSave {
 public:
  explicit AtomicSave(const std::string& path, SaveTemporary temporary = SaveTemporary::Unnamed);
  ~AtomicSave();
  AtomicSave(const AtomicSave&) = delete;
  AtomicSave& operator=(const AtomicSave&) = delete;

  // Appends bytes; false once any step of the save has failed.
  bool Write(std::string_view bytes);
  // Puts the file in the target's place; false, with the previous file unchanged, when any
  // step failed.
  bool Commit();

 private:
  bool OpenUnnamed();
  bool OpenNamed();
  bool Name();
  void Abandon();

  std::filesystem::path target_;
  std::filesystem::path temporary_;  // the temporary's name once it has one
  // The temporary's descriptor, or on Windows its handle, whose significant bits fit in 32.
  int fd_ = -1;
  bool ok_ = false;
};

// Writes bytes to path through an AtomicSave: as a whole or not at all.
bool SaveFileAtomically(const std::string& path, std::string_view bytes,
                        SaveTemporary temporary = SaveTemporary::Unnamed);

}  // namespace lumora
