#ifndef DMODALDRIVER_H
#define DMODALDRIVER_H

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Answers a modal dialog that the code under test runs with exec(): polls the
// event loop until a visible modal widget of type T is on top, then runs
// `action` on it once. Gives up after `limitMs` so that a missing dialog
// fails the test instead of hanging it. The returned watcher may be deleted
// to stop waiting early (a test that expects no such dialog does so once the
// code under test has returned, instead of sleeping).
template <typename T>
QPointer<QTimer> whenModal(std::function<void(T*)> action, int limitMs = 5000)
{
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
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
        if (widget)
            action(widget);
    });
    timer->start();
    return timer;
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
