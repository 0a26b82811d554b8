#pragma once

#include <string>
#include <vector>

namespace lumora {

// Files handed to the window from outside, on the command line or dropped onto it: it holds one
// project and one sequence, so at most one of each, told apart by their names' extensions.
// The project is opened first, since opening a project puts its program 1 into the editor.
struct FilesToOpen {
  enum class Refusal {
    None,
    // A name that ends neither ".sqx" nor ".prj".
    NotSequenceOrProject,
    // A second sequence or a second project.
    TwoOfAKind,
  };
  std::string project = {};   // empty when none
  std::string sequence = {};  // empty when none
  Refusal refusal = Refusal::None;
  // The path refused.
  std::string refused = {};
};

// Sorts the paths, or names the first that cannot be opened beside the others.
FilesToOpen SortFilesToOpen(const std::vector<std::string>& paths);

}  // namespace lumora
