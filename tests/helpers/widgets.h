#pragma once

#include <QString>
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
