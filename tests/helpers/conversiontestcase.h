#pragma once

#include "helpers/storetestcase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <utility>

// A test class for the converter: each case gets a fresh data folder with its
// new-installation ZBDB.mdb (m_env, the conversion's target) and, outside it, a work
// folder holding a fresh version 1.0 source (m_source) and whatever else the case writes.
class ConversionTestCase : public StoreTestCase
{
    Q_OBJECT

protected:
    explicit ConversionTestCase(QString sourceName) : m_sourceName(std::move(sourceName)) {}

    // Writes the version 1.0 source the cases start from; false when it could not.
    virtual bool makeSource(const QString &path) = 0;

    QString workPath(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_work;
    QString m_source;

private:
    void prepareCase() override;
    void endCase() override;

    QString m_sourceName;
};
