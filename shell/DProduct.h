#ifndef DPRODUCT_H
#define DPRODUCT_H

#include <QString>
#include <QUrl>

// The product's identity: name, version, maker and web addresses.
class DProduct
{
public:
    static QString name();
    static QString version();
    static QString company();
    static QString autoUpdateLink();
    static QString emailCustomerService();
    static QUrl onlineTicket();
    static QUrl linkToProduct();
    static QUrl tellFriend();
    // The user's desktop folder.
    static QString defaultStorageFolder();
};

#endif // DPRODUCT_H
