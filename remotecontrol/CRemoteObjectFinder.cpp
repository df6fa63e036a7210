#include "CRemoteObjectFinder.h"

#include <QQuickItem>
#include <cstring>

QString CRemoteObjectFinder::pathText(const QString& parentName, const QString& objectName)
{
    if (parentName.isEmpty())
        return objectName;
    return parentName + QLatin1Char('.') + objectName;
}

QObject* CRemoteObjectFinder::find(QObject* root, const QString& path)
{
    // Empty names are kept: "a..b" needs an unnamed object between a and b.
    CRemoteObjectFinder finder(path.split(QLatin1Char('.')));
    return finder.search(root, 0);
}

bool CRemoteObjectFinder::classNameContains(const QObject* object, const char* part)
{
    for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
        if (std::strstr(meta->className(), part))
            return true;
    }
    return false;
}

QObject* CRemoteObjectFinder::search(QObject* object, int position)
{
    if (!object)
        return nullptr;
    if (position < m_names.size() && object->objectName() == m_names.at(position))
        ++position;
    if (position >= m_names.size())
        return object;
    const QPair<QObject*, int> place(object, position);
    if (m_failed.contains(place))
        return nullptr;
    // Marked before descending, so that a cycle back to this place ends there.
    m_failed.insert(place);

    for (QObject* child : object->children()) {
        if (QObject* hit = search(child, position))
            return hit;
    }
    if (classNameContains(object, "QQuickRepeater")) {
        // A repeater's delegates are children of the repeater's parent item, not of the repeater.
        auto* repeater = qobject_cast<QQuickItem*>(object);
        if (QQuickItem* parent = repeater ? repeater->parentItem() : nullptr) {
            for (QQuickItem* item : parent->childItems()) {
                if (classNameContains(item, "QQuickRepeater"))
                    continue;
                if (QObject* hit = search(item, position))
                    return hit;
            }
        }
    } else if (classNameContains(object, "QQuickFlickable") ||
               classNameContains(object, "QQuickGridView") ||
               classNameContains(object, "QQuickListView")) {
        // The items of a view live in its content item.
        for (QObject* child : object->children()) {
            auto* content = qobject_cast<QQuickItem*>(child);
            if (!content)
                continue;
            for (QQuickItem* item : content->childItems()) {
                if (QObject* hit = search(item, position))
                    return hit;
            }
        }
    }
    return nullptr;
}
