#include "app/translation.h"

#include <stdexcept>

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace lumora {

namespace {
const QString kTranslatorName = QStringLiteral("LumoraTranslation");
}  // namespace

void UseLanguage(UiLanguage language) {
  // A translator takes itself out of the application as it goes.
  delete QCoreApplication::instance()->findChild<QTranslator*>(kTranslatorName);
  if (language == UiLanguage::Polish) return;
  auto* translator = new QTranslator(QCoreApplication::instance());
  translator->setObjectName(kTranslatorName);
  if (!translator->load(QStringLiteral(":/i18n/lumora_en.qm"))) {
    delete translator;
    throw std::runtime_error("the English translation is missing from the program");
  }
  QCoreApplication::installTranslator(translator);
}

std::vector<std::string> SystemUiLanguages() {
  std::vector<std::string> languages;
  for (const QString& language : QLocale::system().uiLanguages()) {
    languages.push_back(language.toStdString());
  }
  return languages;
}

}  // namespace lumora
