#ifndef DPROPERTYVARIOUSCHECKER_H
#define DPROPERTYVARIOUSCHECKER_H

#include <QSet>

class QtProperty;

// Remembers which rows of the property panel stand for values that differ
// among the selected items.
class DPropertyVariousChecker
{
public:
    bool isPropertyVarious(const QtProperty* property) const;
    void setPropertyVarious(const QtProperty* property, bool various);

private:
    QSet<const QtProperty*> m_variousProperties;
};

#endif // DPROPERTYVARIOUSCHECKER_H
