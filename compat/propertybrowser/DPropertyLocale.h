#pragma once

#include <QLocale>

// The one locale in which the property browser writes and reads numbers: the
// application's default locale, without group separators, as spin boxes show
// numbers. A number reads the same in a row and in its editor.
class DPropertyLocale
{
public:
    static QLocale numbers();
};
