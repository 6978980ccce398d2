#include "helpers/testenv.h"

#include <QDir>

TestEnv::TestEnv()
{
    settings = std::make_unique<zorbin::store::Settings>(QDir(dir.path()).filePath("settings"));
    if (store)
        context = std::make_unique<zorbin::common::Context>(
            zorbin::common::Context{*store, *settings, dir.path()});
}
