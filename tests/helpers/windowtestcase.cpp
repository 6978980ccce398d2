#include "helpers/windowtestcase.h"

#include <QApplication>
#include <QtTest>

void WindowTestCase::initTestCase()
{
    QApplication::setLayoutDirection(Qt::RightToLeft);
}

void WindowTestCase::init()
{
    prepareCase();
    m_env = std::make_unique<TestEnv>();
    QVERIFY(m_env->ok());
}

void WindowTestCase::cleanup()
{
    m_env.reset();
}
