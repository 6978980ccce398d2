#pragma once

#include "helpers/teststore.h"

#include <QObject>
#include <memory>

// A test class whose cases each get a fresh data folder with its store (m_env).
class StoreTestCase : public QObject
{
    Q_OBJECT

protected:
    // What a test class adds to each case once its data folder is there, and takes away
    // after the folder is gone.
    virtual void prepareCase() {}
    virtual void endCase() {}

    std::unique_ptr<TestStore> m_env;

private slots:
    void init();
    void cleanup();
};
