#pragma once

#include <QObject>
#include <QUrl>

// Small services for QML that belong to no page.
class CSystemCtrl : public QObject
{
    Q_OBJECT
public:
    explicit CSystemCtrl(QObject* parent = nullptr);

    // The user's desktop folder as a file URL: the starting folder of the pages' file dialogs.
    // When the platform knows no desktop folder the URL carries the scheme only.
    Q_INVOKABLE QUrl desktopFileUrl() const;
};
