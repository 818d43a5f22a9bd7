#ifndef DGRABBINGMAINDIALOG_H
#define DGRABBINGMAINDIALOG_H

#include <QPixmap>
#include <QRect>

#include "DMainDialog.h"
#include "DWidgetData.h"
#include "DWidgetDataBuilder.h"

// The main window with the capture overlay replaced by a note of what it was
// given, and of the window tree built from it as the overlay builds it.
class GrabbingMainDialog : public DMainDialog
{
public:
    int m_nGrabs = 0;
    QPixmap m_screenshot;
    QRect m_screenRect;
    DWidgetData m_tree;
    bool m_bVisibleDuringGrab = true;
    bool m_bTrayVisibleDuringGrab = true;

protected:
    void runCaptureOverlay(DD::enumCaptureMode mode, const QPixmap& screenshot, const QRect& screenRect) override
    {
        Q_UNUSED(mode);
        ++m_nGrabs;
        m_screenshot = screenshot;
        m_screenRect = screenRect;
        m_bVisibleDuringGrab = isVisible();
        m_bTrayVisibleDuringGrab = trayIcon()->isVisible();
        m_tree = DWidgetData();
        DWidgetDataBuilder::buildWithHierarchy(m_tree, screenRect);
    }
};

#endif // DGRABBINGMAINDIALOG_H
