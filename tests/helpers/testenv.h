#pragma once

#include "common/context.h"
#include "helpers/teststore.h"
#include "store/settings.h"

#include <memory>

// A fresh data folder with its store and what the windows share, for one test.
class TestEnv : public TestStore
{
public:
    TestEnv();

    std::unique_ptr<zorbin::store::Settings> settings;
    std::unique_ptr<zorbin::common::Context> context;
};
