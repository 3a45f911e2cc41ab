#pragma once
/// @file
/// Qt's own texts (file dialogs, message box buttons) in Russian, like the rest of the window.

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace pw::gui {

/// Loads qtbase_ru.qm from folder and installs it in app. Returns the installed translator
/// (owned by app), or null when the file is absent or unreadable: Qt's texts stay English then.
QTranslator* InstallQtTranslations(QCoreApplication& app,
                                   const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace pw::gui
