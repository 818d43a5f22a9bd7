#include "DPropertyLocale.h"

QLocale DPropertyLocale::numbers()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}
