#pragma once

#include <QObject>
#include <QTranslator>

class QQmlEngine;

// Loads the user interface language from the "language" folder beside the program and remembers
// the choice in the settings. The main page controller owns one and forwards its QML calls here.
class CLanguageSwitcher : public QObject
{
    Q_OBJECT
public:
    explicit CLanguageSwitcher(QObject* parent = nullptr);
    ~CLanguageSwitcher() override;

    // The "language" setting ("English" when unset), read afresh each time.
    static QString currentLanguage();
    static QString translationDirectory();

    // Replaces the installed translation with the file of that name. On failure the program runs
    // untranslated and false is returned.
    bool load(const QString& name);

    // Switches to name unless it is already the current language. Only a successful load changes
    // the setting, emits currentLanguageChanged and re-translates the engine's bindings.
    bool setTranslation(const QString& name, QQmlEngine* engine);

signals:
    void currentLanguageChanged();

private:
    QTranslator m_translator;
};
