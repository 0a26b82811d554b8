#include "app/habits_settings.h"

#include <QStringList>

#include "app/path_text.h"
#include "app/user_settings.h"

namespace lumora {

namespace {

// The settings' keys; the folders in FileKind's order.
const char* const kFolderKeys[kFileKinds] = {"folders/sequences", "folders/projects",
                                             "folders/listings"};
const char* const kRecentSequences = "recent/sequences";
const char* const kRecentProjects = "recent/projects";

std::vector<std::string> ReadList(const QSettings& settings, const char* key) {
  std::vector<std::string> list;
  for (const QString& path : settings.value(QString::fromLatin1(key)).toStringList()) {
    list.push_back(PathBytes(path));
  }
  return list;
}

// What is empty is left out of the file (QSettings would write an empty list as "@Invalid()").
void WriteValue(QSettings& settings, const char* key, const QVariant& value, bool empty) {
  if (empty) {
    settings.remove(QString::fromLatin1(key));
  } else {
    settings.setValue(QString::fromLatin1(key), value);
  }
}

void WriteList(QSettings& settings, const char* key, const std::vector<std::string>& list) {
  QStringList paths;
  for (const std::string& path : list) paths.append(PathText(path));
  WriteValue(settings, key, paths, paths.isEmpty());
}

}  // namespace

FileHabitsRecord HabitsSettings::Load() {
  FileHabitsRecord record;
  // A damaged file gives what QSettings could read of it, an unreadable one nothing.
  const auto settings = OpenUserSettings();
  if (!settings) return record;
  for (int kind = 0; kind < kFileKinds; ++kind) {
    record.folders[kind] =
        PathBytes(settings->value(QString::fromLatin1(kFolderKeys[kind])).toString());
  }
  record.recentSequences = ReadList(*settings, kRecentSequences);
  record.recentProjects = ReadList(*settings, kRecentProjects);
  return record;
}

bool HabitsSettings::Save(const FileHabitsRecord& record) {
  const auto settings = OpenUserSettings();
  if (!settings) return false;
  for (int kind = 0; kind < kFileKinds; ++kind) {
    WriteValue(*settings, kFolderKeys[kind], PathText(record.folders[kind]),
               record.folders[kind].empty());
  }
  WriteList(*settings, kRecentSequences, record.recentSequences);
  WriteList(*settings, kRecentProjects, record.recentProjects);
  settings->sync();
  return settings->status() == QSettings::NoError;
}

}  // namespace lumora
