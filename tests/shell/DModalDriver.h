#ifndef DMODALDRIVER_H
#define DMODALDRIVER_H

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers a modal dialog that the code under test runs with exec(): polls the
// event loop until a visible modal widget of type T is on top, then runs
// `action` on it once. Gives up after `limitMs` so that a missing dialog
// fails the test instead of hanging it.
template <typename T>
void whenModal(std::function<void(T*)> action, int limitMs = 5000)
{
    auto* timer = new QTimer(qApp);
    auto* waited = new int(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, action, limitMs] {
        *waited += timer->interval();
        T* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!widget || !widget->isVisible()) {
            if (*waited < limitMs)
                return;
            widget = nullptr;
        }
        timer->stop();
        timer->deleteLater();
        delete waited;
        if (widget)
            action(widget);
    });
    timer->start();
}

// Types `name` into an open save dialog and confirms it, as a user would.
inline void typeFileNameAndAccept(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit)
        edit->setText(name);
    // Through the base: QFileDialog's own accept() is protected.
    static_cast<QDialog*>(dialog)->accept();
}

#endif // DMODALDRIVER_H
