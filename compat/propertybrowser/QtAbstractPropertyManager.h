#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class QtProperty;

// Creates, owns and describes properties of one kind. A subclass keeps the
// values, prepares each new property in initializeProperty and lets go of it
// in uninitializeProperty; every concrete manager calls clear() in its own
// destructor, so that its uninitializeProperty still runs for each property.
class QtAbstractPropertyManager : public QObject
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyManager(QObject* parent = nullptr);
    ~QtAbstractPropertyManager() override;

    // The properties this manager made and has not destroyed, oldest first.
    QList<QtProperty*> properties() const { return m_properties; }
    // Destroys every property of this manager.
    void clear();
    // A new property with the given name, prepared by initializeProperty;
    // null when the manager cannot make one.
    QtProperty* addProperty(const QString& name = QString());

    virtual bool hasValue(const QtProperty* property) const;
    virtual QString valueText(const QtProperty* property) const;
    // A picture shown beside the text (a colour's swatch, say); none here.
    virtual QIcon valueIcon(const QtProperty* property) const;

signals:
    // A property's value, enabled state or sub-property list changed.
    void propertyChanged(QtProperty* property);
    // Emitted at the start of a property's destruction, while it is whole.
    void propertyDestroyed(QtProperty* property);

protected:
    virtual void initializeProperty(QtProperty* property) = 0;
    virtual void uninitializeProperty(QtProperty* property);
    virtual QtProperty* createProperty();

private:
    friend class QtProperty;
    void propertyDestroying(QtProperty* property);

    QList<QtProperty*> m_properties;
};
