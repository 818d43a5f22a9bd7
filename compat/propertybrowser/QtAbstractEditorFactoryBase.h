#pragma once

#include <QObject>

class QWidget;
class QtProperty;

// What a browser needs of an editor factory: an editor widget for a property
// whose manager the factory serves (null for any other property).
class QtAbstractEditorFactoryBase : public QObject
{
    Q_OBJECT
public:
    virtual QWidget* createEditor(QtProperty* property, QWidget* parent) = 0;

protected:
    explicit QtAbstractEditorFactoryBase(QObject* parent = nullptr);
};
