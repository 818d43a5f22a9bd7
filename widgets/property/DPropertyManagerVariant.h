#ifndef DPROPERTYMANAGERVARIANT_H
#define DPROPERTYMANAGERVARIANT_H

#include "DPropertyVariousChecker.h"
#include "QtVariantPropertyManager.h"

// The property panel's manager of plain values: a row whose items differ
// reads "*VARIOUS*", with no picture of a value, and gives its editor no
// value to open on.
class DPropertyManagerVariant : public QtVariantPropertyManager, public DPropertyVariousChecker
{
    Q_OBJECT
public:
    explicit DPropertyManagerVariant(QObject* parent = nullptr);
    ~DPropertyManagerVariant() override;

    QString valueText(const QtProperty* property) const override;
    QIcon valueIcon(const QtProperty* property) const override;
    QVariant value(const QtProperty* property) const override;

public slots:
    // A various row still holds the value of an earlier selection; entering
    // that very value must reach the items as well, so it counts as a change.
    void setValue(QtProperty* property, const QVariant& value) override;

protected:
    void uninitializeProperty(QtProperty* property) override;
};

#endif // DPROPERTYMANAGERVARIANT_H
