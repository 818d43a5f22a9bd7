#pragma once

#include <QColorDialog>
#include <QPointer>

// The colour dialog of the boards. It opens over the window it is given and
// stays above it, also over a window that bypasses the window manager (the
// capture overlay, which stays above every managed window), and it hands
// the keyboard back to that window as it closes.
class DColorDialog : public QColorDialog
{
    Q_OBJECT
public:
    explicit DColorDialog(QWidget* window);

    void done(int result) override;

private:
    QPointer<QWidget> m_pWindow;
};
