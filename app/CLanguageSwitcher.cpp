#include "CLanguageSwitcher.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlEngine>

CLanguageSwitcher::CLanguageSwitcher(QObject* parent) : QObject(parent) {}

CLanguageSwitcher::~CLanguageSwitcher()
{
    QCoreApplication::removeTranslator(&m_translator);
}

QString CLanguageSwitcher::currentLanguage()
{
    return readSettingsValue(QStringLiteral("language"), QStringLiteral("English")).toString();
}

QString CLanguageSwitcher::translationDirectory()
{
    return QCoreApplication::applicationDirPath() + QDir::separator() + QStringLiteral("language");
}

bool CLanguageSwitcher::load(const QString& name)
{
    QCoreApplication::removeTranslator(&m_translator);
    if (!m_translator.load(name, translationDirectory()))
        return false;
    QCoreApplication::installTranslator(&m_translator);
    return true;
}

bool CLanguageSwitcher::setTranslation(const QString& name, QQmlEngine* engine)
{
    if (name == currentLanguage())
        return false;
    if (!load(name))
        return false;
    writeSettingsValue(QStringLiteral("language"), name);
    emit currentLanguageChanged();
    if (engine)
        engine->retranslate();
    return true;
}
