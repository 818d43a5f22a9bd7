#ifndef DPROPERTYMANAGERVECTOR3D_H
#define DPROPERTYMANAGERVECTOR3D_H

#include <QMap>
#include <QPointer>
#include <QVector3D>

#include "DPropertyVariousChecker.h"
#include "QtAbstractPropertyManager.h"

class QtVariantPropertyManager;

// The property panel's manager of positions (QVector3D values). A row shows
// "(x, y)" with two decimals in the browser's locale ("(x; y)" where the
// decimal point is a comma) and has "X" and "Y" sub-rows, double properties
// of the variant manager it is given; editing a sub-row changes that
// component of the row's vector. z is kept but neither shown nor edited.
class DPropertyManagerVector3D : public QtAbstractPropertyManager, public DPropertyVariousChecker
{
    Q_OBJECT
public:
    explicit DPropertyManagerVector3D(QtVariantPropertyManager* subPropertyManager, QObject* parent = nullptr);
    ~DPropertyManagerVector3D() override;

    bool hasValue(const QtProperty* property) const override;
    QString valueText(const QtProperty* property) const override;

    // The row's vector; zero for a row of another manager.
    QVector3D value(const QtProperty* property) const;
    static QString valueToText(const QVector3D& value);
    // Whether a number is finite and within a float's range, so that it can
    // stand as a component without turning into an infinity.
    static bool fitsFloat(double value);

signals:
    void valueChanged(QtProperty* property, const QVector3D& value);

public slots:
    // Emits propertyChanged, then valueChanged, when the value is new. A
    // vector with a component that is not a finite number changes nothing.
    void setValue(QtProperty* property, const QVector3D& value);
    void onDoubleChanged(QtProperty* subProperty, const QVariant& value);
    void onPropertyDestroyed(QtProperty* subProperty);

protected:
    void initializeProperty(QtProperty* property) override;
    void uninitializeProperty(QtProperty* property) override;

private:
    struct Data
    {
        QVector3D value;
        bool isSet = false;
    };

    void addComponent(QtProperty* row, const QString& name, QMap<const QtProperty*, QtProperty*>& componentOf,
                             QMap<const QtProperty*, QtProperty*>& ownerOf);
    void deleteComponent(const QtProperty* row, QMap<const QtProperty*, QtProperty*>& componentOf,
                         QMap<const QtProperty*, QtProperty*>& ownerOf);
    void showComponent(QtProperty* subProperty, float component);

    QMap<const QtProperty*, Data> m_values;
    QPointer<QtVariantPropertyManager> m_subPropertyManager;
    QMap<const QtProperty*, QtProperty*> m_xOf;
    QMap<const QtProperty*, QtProperty*> m_yOf;
    QMap<const QtProperty*, QtProperty*> m_ownerOfX;
    QMap<const QtProperty*, QtProperty*> m_ownerOfY;
    // True while setValue shows a new vector in the sub-rows, whose echo
    // must not come back as an edit.
    bool m_showingComponents = false;
};

#endif // DPROPERTYMANAGERVECTOR3D_H
