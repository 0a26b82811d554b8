#include "app/translation.h"

#include <stdexcept>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumora {

namespace {

const QString kTranslatorName = QStringLiteral("LumoraTranslation");
const QString kQtTranslatorName = QStringLiteral("QtTranslation");

// Qt's own texts in Polish (its dialogs' "Otwórz", "Szukaj w:", "Anuluj", the question before a
// file is replaced): qtbase_pl.qm where Qt keeps its translations (on Debian from the package
// qt6-translations-l10n), else in "translations" beside the program (on Windows). Without it
// Qt's texts stay English.
void InstallQtPolish() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  translator->setObjectName(kQtTranslatorName);
  for (const QString& folder :
       {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}) {
    if (translator->load(QStringLiteral("qtbase_pl"), folder)) {
      QCoreApplication::installTranslator(translator);
      return;
    }
  }
  delete translator;
}

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
  delete QCoreApplication::instance()->findChild<QTranslator*>(kQtTranslatorName);
  // Lumora's texts are Polish as written; Qt's are English as written.
  if (language == UiLanguage::Polish) {
    InstallQtPolish();
    return;
  }
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
