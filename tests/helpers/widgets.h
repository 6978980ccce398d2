#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtTest>

// A window's control by its objectName; a missing one ends the test program.
template <typename T> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("missing control %s", name);
    return c;
}

// Types text key by key, as a user would; keyClicks takes Latin-1 only.
inline void typeText(QWidget *box, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Answers the next real message box once it has the activation, as a user closing it
// (a question's close is its No).
inline void closeNextMessageBox()
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && QApplication::activeWindow() == box) {
            box->close();
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
