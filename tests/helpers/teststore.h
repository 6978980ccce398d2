#pragma once

#include "helpers/rawdb.h"
#include "store/records.h"
#include "store/store.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A fresh new-installation data folder with its store, for one test.
class TestStore
{
public:
    TestStore();
    bool ok() const { return store != nullptr; }

    // Adds a site with the given title, address and subject (other fields empty).
    qint64 addSite(const QString &title, const QString &address = QStringLiteral("http://x.ir"),
                   const QString &subject = QStringLiteral("news"),
                   const QString &modir = QString(), const QString &mobile = QString());
    qint64 addCategory(const QString &title);
    // Runs SQL on a connection of the test's own (see RawDb).
    bool sql(const char *statement, const QStringList &values = {});

    QTemporaryDir dir;
    std::unique_ptr<zorbin::store::Store> store;
};
