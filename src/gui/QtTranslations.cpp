#include "gui/QtTranslations.h"

#include <QLocale>

namespace pw::gui {

QTranslator* InstallQtTranslations(QCoreApplication& app, const QString& folder) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_", folder) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
}

}  // namespace pw::gui
