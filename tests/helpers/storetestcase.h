#pragma once

#include "helpers/teststore.h"

#include <QObject>
#include <memory>

// A test class whose cases each get a fresh data folder with its store (m_env).
class StoreTestCase : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<TestStore> m_env;

private slots:
    void init();
    void cleanup();
};
