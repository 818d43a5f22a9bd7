#include "DExtensionManager.h"

#include <QDebug>
#include <QMetaObject>

#include "DUtility.h"

DExtensionManager::DExtensionManager(const QString& baseClassName)
    : m_baseClassName(baseClassName)
{
}

bool DExtensionManager::add(const QMetaObject* meta, const QString& target)
{
    if (!DUtility::isInherits(meta, m_baseClassName))
        return false;

    // Registered classes are created through their meta-object later on.
    const QByteArray constructor = QByteArray(meta->className()) + "()";
    if (meta->indexOfConstructor(constructor.constData()) < 0)
        qDebug() << QString("class %1 default constructor should be Q_INVOKABLE").arg(meta->className());

    m_map[target].append(meta);
    return true;
}

QList<const QMetaObject*> DExtensionManager::find(const QMetaObject* meta) const
{
    QList<const QMetaObject*> found;
    for (const QMetaObject* m = meta; m; m = m->superClass()) {
        const auto entry = m_map.constFind(QString::fromLatin1(m->className()));
        if (entry != m_map.constEnd())
            found += entry.value();
    }
    return found;
}
