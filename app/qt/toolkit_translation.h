// Qt's own texts (the file dialogs' labels and buttons, the OK button) in the user's language,
// as the system's dialogs speak it; the window's own texts are Chinese whatever the locale.
#pragma once

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace foliomix::qt {

class ToolkitTranslation {
  public:
    explicit ToolkitTranslation(const QLocale& locale = QLocale::system()) {
        loaded_ = translator_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (loaded_) {
            QCoreApplication::installTranslator(&translator_);
        }
    }
    ~ToolkitTranslation() { QCoreApplication::removeTranslator(&translator_); }
    ToolkitTranslation(const ToolkitTranslation&) = delete;
    ToolkitTranslation& operator=(const ToolkitTranslation&) = delete;

    // False for a language Qt has no translation for: its texts then stay English.
    [[nodiscard]] bool Loaded() const { return loaded_; }

  private:
    QTranslator translator_;
    bool loaded_ = false;
};

}  // namespace foliomix::qt
