#include "DColorDialog.h"

DColorDialog::DColorDialog(QWidget* window)
    : QColorDialog(window)
    , m_pWindow(window)
{
    setOption(QColorDialog::DontUseNativeDialog);
    setWindowModality(Qt::ApplicationModal);
    // A managed dialog opens beneath a window that bypasses the window
    // manager: the dialog bypasses it as well.
    if (window && (window->windowFlags() & Qt::X11BypassWindowManagerHint))
        setWindowFlags(windowFlags() | Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint);
}

void DColorDialog::done(int result)
{
    // While the dialog is still shown: once it is gone the window system
    // hands the keyboard to whatever it likes, and a window that bypasses
    // the window manager does not get it back by asking later.
    if (m_pWindow)
        m_pWindow->activateWindow();
    QColorDialog::done(result);
}
