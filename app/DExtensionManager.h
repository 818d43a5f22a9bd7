#ifndef DEXTENSIONMANAGER_H
#define DEXTENSIONMANAGER_H

#include <QList>
#include <QMap>
#include <QString>

struct QMetaObject;

// Maps a class name to the meta-objects registered for it. Every registered
// class derives from one base class, fixed at construction.
class DExtensionManager
{
public:
    explicit DExtensionManager(const QString& baseClassName);

    // Registers meta for the class named target; false (and nothing
    // registered) when meta does not derive from the base class.
    bool add(const QMetaObject* meta, const QString& target);

    // The meta-objects registered for meta's class, then for each of its
    // superclasses in turn; repeats are kept.
    QList<const QMetaObject*> find(const QMetaObject* meta) const;

    QString baseClassName() const { return m_baseClassName; }

private:
    QMap<QString, QList<const QMetaObject*> > m_map;
    QString m_baseClassName;
};

#endif // DEXTENSIONMANAGER_H
