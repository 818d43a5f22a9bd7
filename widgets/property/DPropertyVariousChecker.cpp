#include "DPropertyVariousChecker.h"

bool DPropertyVariousChecker::isPropertyVarious(const QtProperty* property) const
{
    return m_variousProperties.contains(property);
}

void DPropertyVariousChecker::setPropertyVarious(const QtProperty* property, bool various)
{
    if (various)
        m_variousProperties.insert(property);
    else
        m_variousProperties.remove(property);
}
