#include "helpers/conversiontestcase.h"

#include <QDir>
#include <QtTest>

QString ConversionTestCase::workPath(const QString &name) const
{
    return QDir(m_work->path()).filePath(name);
}

void ConversionTestCase::prepareCase()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    m_source = workPath(m_sourceName);
    QVERIFY(makeSource(m_source));
}

void ConversionTestCase::endCase()
{
    m_work.reset();
}
