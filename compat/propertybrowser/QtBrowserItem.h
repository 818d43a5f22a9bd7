#pragma once

#include <QList>
#include <QMetaType>

class QtAbstractPropertyBrowser;
class QtProperty;

// One place where a browser shows a property: a property shown twice (under
// two parents, say) has two browser items. Made and destroyed by the browser.
class QtBrowserItem
{
public:
    QtProperty* property() const { return m_property; }
    QtBrowserItem* parent() const { return m_parent; }
    QList<QtBrowserItem*> children() const { return m_children; }
    QtAbstractPropertyBrowser* browser() const { return m_browser; }

private:
    friend class QtAbstractPropertyBrowser;
    QtBrowserItem(QtAbstractPropertyBrowser* browser, QtProperty* property, QtBrowserItem* parent);
    ~QtBrowserItem();
    Q_DISABLE_COPY(QtBrowserItem)

    QtAbstractPropertyBrowser* m_browser;
    QtProperty* m_property;
    QtBrowserItem* m_parent;
    QList<QtBrowserItem*> m_children;
};

// Browser items travel as signal arguments.
Q_DECLARE_METATYPE(QtBrowserItem*)
