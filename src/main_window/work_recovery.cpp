#include "main_window/work_recovery.h"

#include <memory>

#include "files/project_file.h"
#include "files/sequence_file.h"

namespace lumora {

bool WorkRecovery::Notice() {
  const SequenceWork sequence = model_.CurrentSequence();
  const ProjectWork project = model_.CurrentProject();
  if (!model_.Saved().Unsaved(sequence, project).Any()) {
    Drop();
    return false;
  }
  return sequence_ != sequence || project_ != project;
}

void WorkRecovery::Keep() {
  SequenceWork sequence = model_.CurrentSequence();
  ProjectWork project = model_.CurrentProject();
  if (!model_.Saved().Unsaved(sequence, project).Any()) {
    Drop();
    return;
  }
  if (sequence_ != sequence) {
    folder_.Save(RecoveryPart::Sequence,
                 FormatSequenceFile(sequence.SceneCount, sequence.EffectMode, sequence.Cells));
    sequence_ = std::move(sequence);
  }
  if (project_ != project) {
    folder_.Save(
        RecoveryPart::Project,
        FormatProjectFile(project.Programs.Table(), project.Programs.Store(), project.AutoTable));
    project_ = std::move(project);
  }
}

void WorkRecovery::Drop() {
  if (!sequence_ && !project_) return;
  folder_.Remove();
  sequence_.reset();
  project_.reset();
}

void WorkRecovery::OfferLeftWork(RecoveryQuestions& questions) {
  auto left = folder_.TakeLeftCopy();
  if (!left) return;
  std::unique_ptr<SequenceFileData> sequence;
  std::unique_ptr<ProjectFileData> project;
  bool readable = true;
  if (left->Has(RecoveryPart::Sequence)) {
    sequence = std::make_unique<SequenceFileData>();
    readable = ReadSequenceFile(left->PathOf(RecoveryPart::Sequence), *sequence) == ReadResult::Ok;
  }
  if (readable && left->Has(RecoveryPart::Project)) {
    project = std::make_unique<ProjectFileData>();
    readable = ReadProjectFile(left->PathOf(RecoveryPart::Project), *project) == ReadResult::Ok;
  }
  if (!readable) {
    questions.ReportDamaged(left->SetAside());
    return;
  }
  if (questions.OfferRestore()) {
    model_.RestoreWork(sequence.get(), project.get());
    Keep();
  }
  left->Remove();
}

}  // namespace lumora
