#pragma once

#include "helpers/testenv.h"

#include <QObject>
#include <memory>

// A test class for windows: the application lays out right to left, and each case gets a
// fresh data folder with its store and what the windows share (m_env).
class WindowTestCase : public QObject
{
    Q_OBJECT

protected:
    // What a test class resets before each case, ahead of the fresh data folder.
    virtual void prepareCase() {}

    std::unique_ptr<TestEnv> m_env;

private slots:
    void initTestCase();
    void init();
    void cleanup();
};
