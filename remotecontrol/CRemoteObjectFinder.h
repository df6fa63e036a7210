#pragma once

#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

// Finds an object of a QML scene by a dotted path of object names. The names match objects in
// order along one line of descent; any number of unnamed or differently named levels may lie
// between them. Besides QObject children the search looks at the items a repeater created beside
// itself and at the items inside the content item of flickables, list views and grid views, which
// are not QObject children of the object the user declared them in.
class CRemoteObjectFinder
{
public:
    // The path of a target: "parent.object" when parentName is not empty, else "object".
    static QString pathText(const QString& parentName, const QString& objectName);

    // The object at path below (or at) root, or null.
    static QObject* find(QObject* root, const QString& path);

    // True when the class of object, or one of its base classes, has a name containing part.
    static bool classNameContains(const QObject* object, const char* part);

private:
    explicit CRemoteObjectFinder(const QStringList& names) : m_names(names) {}
    QObject* search(QObject* object, int position);

    QStringList m_names;
    // Places already searched without success. A repeater moved under an item of its own subtree
    // leads the sibling search back to where it started; remembering failures ends that cycle and
    // spares searching shared subtrees twice.
    QSet<QPair<QObject*, int>> m_failed;
};
