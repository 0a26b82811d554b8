#include "cli/headless_window.h"

namespace lumora::cli {

HeadlessWindow::HeadlessWindow() : model_(view_, dialogs_, messages_) {
  model_.FormCreate();
}

template <typename Command>
bool HeadlessWindow::WithPath(const std::string& path, Command command) {
  const std::size_t before = messages_.shown.size();
  dialogs_.answer = path;
  command();
  dialogs_.answer.reset();
  return messages_.shown.size() == before;
}

bool HeadlessWindow::OpenProject(const std::string& path) {
  return WithPath(path, [this] { model_.OpenProject(); });
}

bool HeadlessWindow::OpenSequence(const std::string& path) {
  return WithPath(path, [this] { model_.OpenSequence(); });
}

bool HeadlessWindow::SaveFullListing(const std::string& path) {
  return WithPath(path, [this] { model_.SaveFullListing(); });
}

bool HeadlessWindow::ExportSequence(const std::string& path) {
  return WithPath(path, [this] { model_.ExportSequence(); });
}

bool HeadlessWindow::BuildControllerImage(const std::string& tableFile) {
  model_.Output().SetTableFile(tableFile);
  model_.Output().BuildControllerImage();
  return model_.Output().ImageReady();
}

}  // namespace lumora::cli
