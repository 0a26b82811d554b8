#include "app/translation.h"

#include <stdexcept>

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace lumora {

namespace {

const QString kTranslatorName = QStringLiteral("LumoraTranslation");

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString TranslatedLines(const QString& text) {
  const QByteArray source = text.toUtf8();
  const QString translated = QCoreApplication::translate("message", source.constData());
  const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
  if (translated != text || lineEnd < 0) return translated;
  return TranslatedLines(text.left(lineEnd)) + QLatin1Char('\n') +
         TranslatedLines(text.mid(lineEnd + 1));
}

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

QString TranslatedMessage(std::string_view text) {
  return TranslatedLines(FromUtf8(text));
}

QString TranslatedMessage(std::string_view text, std::string_view value) {
  return TranslatedMessage(text).replace(QStringLiteral("%1"), FromUtf8(value));
}

std::vector<std::string> SystemUiLanguages() {
  std::vector<std::string> languages;
  for (const QString& language : QLocale::system().uiLanguages()) {
    languages.push_back(language.toStdString());
  }
  return languages;
}

}  // namespace lumora
