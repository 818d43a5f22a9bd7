#include "DProduct.h"

#include <QStandardPaths>

QString DProduct::name()
{
    return QStringLiteral("Zorvelshot");
}

QString DProduct::version()
{
    return QStringLiteral("2.6");
}

QString DProduct::company()
{
    return QStringLiteral("Orvanta");
}

QString DProduct::autoUpdateLink()
{
    return QStringLiteral("http://www.orvanta.com/d/update.xml");
}

QString DProduct::emailCustomerService()
{
    return QStringLiteral("support@orvanta.com");
}

QUrl DProduct::onlineTicket()
{
    return QUrl(QStringLiteral("https://tickets.orvanta.com/default.asp?pg=pgPublicEdit"));
}

QUrl DProduct::linkToProduct()
{
    return QUrl(QStringLiteral("http://www.orvanta.com/screen-capture-tool"));
}

QUrl DProduct::tellFriend()
{
    return QUrl(QStringLiteral("http://www.orvanta.com/share.php?prod=Zorvelshot"));
}

QString DProduct::defaultStorageFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
