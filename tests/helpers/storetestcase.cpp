#include "helpers/storetestcase.h"

#include <QtTest>

void StoreTestCase::init()
{
    m_env = std::make_unique<TestStore>();
    QVERIFY(m_env->ok());
    prepareCase();
}

void StoreTestCase::cleanup()
{
    m_env.reset();
    endCase();
}
