// The readers of version 1.0 databases: the Access header, Jet text, and every record of
// the Access test files arriving in ZBDB.mdb exactly as their JSON describes.

#include "converter/conversion.h"
#include "converter/jetformat.h"
#include "converter/source.h"
#include "helpers/rawdb.h"
#include "helpers/storetestcase.h"
#include "helpers/testfiles.h"
#include "store/connectiontext.h"
#include "store/sqlite.h"
#include "store/store.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

using namespace zorbin::converter;
using zorbin::store::Store;

namespace {

// The Access test files kept with the tests; a missing one fails the case.
#define REQUIRE_FIXTURES()                                                                         \
    QVERIFY2(QFileInfo::exists(fixture("zorbin-v1-sample.mdb")),                                   \
             "The Access test files are missing from " ZORBIN_TEST_DATA "/jet")

QString fixture(const QString &name)
{
    return QDir(QStringLiteral(ZORBIN_TEST_DATA "/jet")).filePath(name);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const char *selectAll(const QString &table)
{
    if (table == QLatin1String("Table_User"))
        return "SELECT UserName, Password, Question, Answer FROM Table_User ORDER BY rowid";
    if (table == QLatin1String("Table_Site"))
        return "SELECT Onvan, Address, Mozoo, Email, Modir, Mobile, Yahoo, Facebook, \"User\", "
               "Pass, Tozihat, Gmail, Twitter, Google, Rss FROM Table_Site ORDER BY ID";
    if (table == QLatin1String("Table_Category"))
        return "SELECT Category FROM Table_Category ORDER BY ID";
    return "SELECT Name, \"Group\", Mobile, Home, Office, Email, Site, Job, Address, Image "
           "FROM Table_Contact ORDER BY ID";
}

} // namespace

class TestConvertSource : public StoreTestCase
{
    Q_OBJECT

private slots:
    void header_data();
    void header();
    void jetText();
    void fixturesArriveExactly_data();
    void fixturesArriveExactly();
    void missingTableIsNamed();
    void otherProgramsFilesAreRefused();
    void readerOnForeignFiles();
    void damagedFilesNeverCrash();
    void charactersBeyondTheBmpArriveWhole();
    void damagedPropertyBlocksAreNotRead();
    void tablesWithoutUsageMapAreRefused();
    void damagedFilesAreRefusedWhole_data();
    void damagedFilesAreRefusedWhole();
};

void TestConvertSource::header_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("encoded");
    QTest::newRow("v1") << "zorbin-v1-sample.mdb"
                        << "#rKt5W^3HbQmX8d" << false;
    QTest::newRow("v1 rc4") << "zorbin-v1-sample-enc.mdb"
                            << "#rKt5W^3HbQmX8d" << true;
    QTest::newRow("v2") << "zorbin-v2-sample.mdb"
                        << "$19!*85&=7^2046" << false;
    QTest::newRow("other program") << "mdb-reader_V2003_with-password.mdb"
                                   << "password" << false;
    QTest::newRow("no password") << "jackcess_testUnicodeCompV2003.mdb"
                                 << "" << false;
    QTest::newRow("rc4, no password") << "jackcessencrypt_db-enc.mdb"
                                      << "" << true;
}

void TestConvertSource::header()
{
    REQUIRE_FIXTURES();
    QFETCH(QString, file);
    QFETCH(QString, password);
    QFETCH(bool, encoded);
    const auto h = readJetHeader(readAll(fixture(file)).left(0x100));
    QVERIFY(h);
    QCOMPARE(h->version, 1);
    QCOMPARE(h->password, password);
    QCOMPARE(h->encodedPages, encoded);
    // Not an Access file at all, or too short to hold the header.
    QVERIFY(!readJetHeader(QByteArray(0x100, 'x')));
    QVERIFY(!readJetHeader(readAll(fixture(file)).left(0x60)));
}

void TestConvertSource::jetText()
{
    auto decode = [](const QByteArray &b) {
        return decodeJetText(reinterpret_cast<const unsigned char *>(b.constData()), b.size());
    };
    // UTF-16 little-endian, a surrogate pair kept whole (an emoji outside the BMP).
    const QString emoji = QString::fromUtf8("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xF0\x9F\x98\x80");
    QByteArray utf16;
    for (QChar c : emoji)
        utf16 += char(c.unicode() & 0xff), utf16 += char(c.unicode() >> 8);
    QCOMPARE(decode(utf16), emoji);
    QCOMPARE(decode(utf16).toUtf8(), emoji.toUtf8());
    // Compressed: one byte a character, a zero switching to UTF-16 and back.
    QCOMPARE(decode(QByteArray("\xff\xfe"
                               "abc",
                               5)),
             QStringLiteral("abc"));
    QCOMPARE(decode(QByteArray("\xff\xfe"
                               "ab\0\x33\x06\0c",
                               9)),
             QString::fromUtf8("ab\xD8\xB3"
                               "c"));
    // A dangling half character is dropped, not read past the end.
    QCOMPARE(decode(QByteArray("\xff\xfe"
                               "a\0\x33",
                               5)),
             QStringLiteral("a"));
    QCOMPARE(decode(QByteArray("\x41\x00\x42", 3)), QStringLiteral("A"));
    QCOMPARE(decode(QByteArray()), QStringLiteral(""));
}

void TestConvertSource::fixturesArriveExactly_data()
{
    QTest::addColumn<QString>("base");
    QTest::newRow("v1") << "zorbin-v1-sample";
    QTest::newRow("v1 rc4 pages") << "zorbin-v1-sample-enc";
    QTest::newRow("v1 empty tables") << "zorbin-v1-empty";
    QTest::newRow("v2 layout") << "zorbin-v2-sample";
}

void TestConvertSource::fixturesArriveExactly()
{
    REQUIRE_FIXTURES();
    QFETCH(QString, base);
    const QJsonObject expected =
        QJsonDocument::fromJson(readAll(fixture(base + ".expected.json"))).object();
    QVERIFY(!expected.isEmpty());

    auto analysis = analyse(fixture(base + ".mdb"), m_env->dir.path());
    QVERIFY2(analysis, qPrintable(analysis ? QString() : analysis.error().text));
    QCOMPARE(analysis->version2Sites, base.startsWith(QLatin1String("zorbin-v2")));
    const auto counts = convert(*analysis);
    QVERIFY2(counts, qPrintable(counts ? QString() : counts.error().text));
    analysis->source.reset();
    analysis->target.reset();

    const QJsonObject tables = expected.value("tables").toObject();
    for (size_t t = 0; t < tablePlans().size(); ++t) {
        const TablePlan &plan = tablePlans()[t];
        const QJsonObject table = tables.value(plan.name).toObject();
        const QJsonArray columns = table.value("columns").toArray();
        const QJsonArray want = table.value("rows").toArray();
        const int targetColumns = Store::Import::columnCount(plan.target);
        QList<QStringList> got = rawRows(m_env->dir.path(), selectAll(plan.name), targetColumns);
        // The new installation's account stays first; the converted ones follow.
        if (plan.name == QLatin1String("Table_User"))
            got.removeFirst();
        QCOMPARE(counts->at(t), qint64(want.size()));
        QCOMPARE(got.size(), want.size());
        for (qsizetype r = 0; r < want.size(); ++r) {
            const QJsonArray row = want[r].toArray();
            QStringList expectedRow;
            for (qsizetype c = 0; c < columns.size(); ++c)
                if (columns[c].toString() != QLatin1String("ID"))
                    expectedRow << (row[c].isNull() ? QStringLiteral("") : row[c].toString());
            // A version 1.0 site arrives with the four new fields empty.
            while (expectedRow.size() < targetColumns)
                expectedRow << QStringLiteral("");
            QCOMPARE(got[r], expectedRow);
            // Null never arrives as NULL.
            for (const QString &v : got[r])
                QVERIFY(!v.isNull());
        }
    }
}

void TestConvertSource::missingTableIsNamed()
{
    REQUIRE_FIXTURES();
    const QByteArray before = readAll(QDir(m_env->dir.path()).filePath("ZBDB.mdb"));
    const auto analysis = analyse(fixture("zorbin-v1-missing-table.mdb"), m_env->dir.path());
    QVERIFY(!analysis);
    QVERIFY2(analysis.error().text.contains("Table_Contact"), qPrintable(analysis.error()));
    QCOMPARE(readAll(QDir(m_env->dir.path()).filePath("ZBDB.mdb")), before);
}

void TestConvertSource::otherProgramsFilesAreRefused()
{
    REQUIRE_FIXTURES();
    for (const char *name : {"mdb-reader_V2000_with-password.mdb",
                             "jackcess_testUnicodeCompV2003.mdb", "jackcessencrypt_db-enc.mdb"}) {
        const auto analysis = analyse(fixture(QString::fromLatin1(name)), m_env->dir.path());
        QVERIFY(!analysis);
        QVERIFY2(analysis.error().text.contains("password"), qPrintable(analysis.error()));
        QCOMPARE(analysis.error().kind, Refusal::Kind::WrongPassword);
    }
}

void TestConvertSource::readerOnForeignFiles()
{
    REQUIRE_FIXTURES();
    // Files of open-source Access libraries, read without the password check.
    auto unicode = openJetFile(fixture("jackcess_testUnicodeCompV2003.mdb"), false);
    QVERIFY2(unicode, qPrintable(unicode ? QString() : unicode.error().text));
    auto cursor = (*unicode)->read("Table", {"ID", "Unicode"});
    QVERIFY2(cursor, qPrintable(cursor ? QString() : cursor.error().text));
    QStringList values;
    std::vector<QString> row;
    while ((*cursor)->next(row))
        values << row[0] + '=' + row[1];
    QVERIFY((*cursor)->error().isEmpty());
    QVERIFY(values.size() >= 8);
    QCOMPARE(values.mid(0, 5),
             (QStringList{
                 "1=only ascii chars", QString::fromUtf8("2=ääkkösiä"), QString::fromUtf8("3=Мир"),
                 QString::fromUtf16(u"4=\u03F0\u03B1\u1F76 \u03C4\u1F79\u03C4' \u1F10\u03B3\u1F7C "
                                    u"\u039A\u1F7B\u03F0\u03BB\u03C9\u03C0\u03B1"),
                 QString::fromUtf8("5=漢字仮名交じり文")}));
    QCOMPARE(values[6], QString::fromUtf8("7=ümlaut"));

    auto encoded = openJetFile(fixture("jackcessencrypt_db-enc.mdb"), false);
    QVERIFY2(encoded, qPrintable(encoded ? QString() : encoded.error().text));
    cursor = (*encoded)->read("Table1", {"col1", "col2"});
    QVERIFY2(cursor, qPrintable(cursor ? QString() : cursor.error().text));
    values.clear();
    while ((*cursor)->next(row))
        values << row[0] + '=' + row[1];
    QCOMPARE(values, (QStringList{"hello=0", "world=42"}));

    // A field the table does not have is named.
    const auto missing = (*encoded)->read("Table1", {"col9"});
    QVERIFY(!missing);
    QVERIFY(missing.error().text.contains("col9"));
    QVERIFY(!(*encoded)->fields("Nope"));
}

void TestConvertSource::damagedFilesNeverCrash()
{
    REQUIRE_FIXTURES();
    // Cut short at many points and with pages overwritten: each either reads or is
    // refused with a message; nothing crashes and the reading ends.
    const QByteArray whole = readAll(fixture("zorbin-v1-sample.mdb"));
    QVERIFY(!whole.isEmpty());
    QList<QByteArray> damaged;
    for (qsizetype cut : {qsizetype(0), qsizetype(0x50), qsizetype(0x98), qsizetype(4096),
                          qsizetype(4096 * 3), whole.size() / 2, whole.size() - 4096})
        damaged << whole.left(cut);
    for (int page = 1; page < int(whole.size() / 4096); page += 3) {
        QByteArray copy = whole;
        for (int i = 0; i < 4096; i += 7)
            copy[page * 4096 + i] = char(0xff ^ (i * 31));
        damaged << copy;
    }
    for (const QByteArray &bytes : damaged) {
        auto source = openJetBuffer(bytes);
        if (!source) {
            QVERIFY(!source.error().text.isEmpty());
            continue;
        }
        for (const TablePlan &plan : tablePlans()) {
            if (!(*source)->fields(plan.name))
                continue;
            auto cursor = (*source)->read(plan.name, plan.fields);
            if (!cursor)
                continue;
            std::vector<QString> row;
            qint64 n = 0;
            while ((*cursor)->next(row) && n < 1000000)
                ++n;
            QVERIFY(n < 1000000);
        }
    }
}

void TestConvertSource::charactersBeyondTheBmpArriveWhole()
{
    REQUIRE_FIXTURES();
    // The answer of the version 1.0 account, stored as UTF-16, with its first two
    // characters made into one emoji (a surrogate pair) in place.
    QByteArray bytes = readAll(fixture("zorbin-v1-sample.mdb"));
    const QString answer = QString::fromUtf8("کتابخانه مرکزی");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    auto utf16 = [](const QString &text) {
        QByteArray b;
        for (QChar c : text)
            b += char(c.unicode() & 0xff), b += char(c.unicode() >> 8);
        return b;
    };
    QVERIFY(bytes.contains(utf16(answer)));
    bytes.replace(utf16(answer), utf16(emoji + answer.mid(2)));
    auto source = openJetBuffer(bytes);
    QVERIFY2(source, qPrintable(source ? QString() : source.error().text));
    auto cursor = (*source)->read("Table_User", {"Answer"});
    QVERIFY2(cursor, qPrintable(cursor ? QString() : cursor.error().text));
    std::vector<QString> row;
    QVERIFY((*cursor)->next(row));
    QCOMPARE(row[0], emoji + answer.mid(2));
    QCOMPARE(row[0].toUtf8(), (emoji + answer.mid(2)).toUtf8());
}

void TestConvertSource::damagedPropertyBlocksAreNotRead()
{
    REQUIRE_FIXTURES();
    // Property blocks ("MR2") whose first record claims a length of zero: a reader that
    // parses them loops without end (found by fuzzing). The tables are read all the same.
    QByteArray bytes = readAll(fixture("zorbin-v1-sample.mdb"));
    int blocks = 0;
    for (qsizetype at = bytes.indexOf(QByteArray("MR2\0", 4)); at >= 0;
         at = bytes.indexOf(QByteArray("MR2\0", 4), at + 4), ++blocks)
        bytes.replace(at + 4, 4, QByteArray(4, '\0'));
    QVERIFY(blocks > 0);
    QElapsedTimer timer;
    timer.start();
    auto source = openJetBuffer(bytes);
    QVERIFY2(source, qPrintable(source ? QString() : source.error().text));
    auto cursor = (*source)->read("Table_Category", {"Category"});
    QVERIFY2(cursor, qPrintable(cursor ? QString() : cursor.error().text));
    std::vector<QString> row;
    int rows = 0;
    while ((*cursor)->next(row))
        ++rows;
    QCOMPARE(rows, 5);
    QVERIFY(timer.elapsed() < 10000);
}

void TestConvertSource::tablesWithoutUsageMapAreRefused()
{
    REQUIRE_FIXTURES();
    // The system list of tables (defined on page 2) given an empty row as its usage map:
    // libmdb then reads the map through a null pointer (found by fuzzing). The file is
    // refused as damaged instead.
    QByteArray bytes = readAll(fixture("zorbin-v1-sample.mdb"));
    const int page = 4096, usageMap = 2 * page + 55, rowOffsets = 14;
    const int mapPage = quint8(bytes[usageMap + 1]) | quint8(bytes[usageMap + 2]) << 8;
    QCOMPARE(int(quint8(bytes[usageMap])), 0); // row 0 of its page
    QVERIFY(mapPage > 2 && (mapPage + 1) * page <= bytes.size());
    // Row 1 of the map's page starting where row 0 starts is a row of no bytes.
    bytes[usageMap] = 1;
    bytes[mapPage * page + rowOffsets + 2] = bytes[mapPage * page + rowOffsets];
    bytes[mapPage * page + rowOffsets + 3] = char(bytes[mapPage * page + rowOffsets + 1] & 0x1f);
    auto source = openJetBuffer(bytes);
    QVERIFY(!source);
    QCOMPARE(source.error().kind, Refusal::Kind::Damaged);
}

namespace {

constexpr int kPage = 4096;

quint32 pageWord(const QByteArray &bytes, qsizetype at)
{
    return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 |
           quint32(quint8(bytes[at + 2])) << 16 | quint32(quint8(bytes[at + 3])) << 24;
}

// The first page after `from` holding rows of the table defined on page `owner`, or,
// with owner "LVAL", memo values.
int firstDataPage(const QByteArray &bytes, quint32 owner, int from = 1)
{
    for (int page = from; page < int(bytes.size() / kPage); ++page) {
        const qsizetype at = qsizetype(page) * kPage;
        if (bytes[at] == 1 && pageWord(bytes, at + 4) == owner && bytes[at + 12] != 0)
            return page;
    }
    return -1;
}

// The page of the table's definition, as the file's list of tables gives it.
quint32 definitionPage(const QByteArray &bytes, const QString &table)
{
    auto source = openJetBuffer(bytes);
    if (!source)
        return 0;
    auto cursor = (*source)->read(QStringLiteral("MSysObjects"), {"Id", "Name"});
    std::vector<QString> row;
    while (cursor && (*cursor)->next(row))
        if (row[1] == table)
            return row[0].toUInt() & 0x00ffffff;
    return 0;
}

} // namespace

void TestConvertSource::damagedFilesAreRefusedWhole_data()
{
    QTest::addColumn<QString>("damage");
    for (const char *damage : {"cut 25%", "cut 50%", "cut 75%", "cut in last page",
                               "last page gone", "zeroed contacts page", "zeroed sites page",
                               "zeroed notes page", "zeroed addresses page"})
        QTest::newRow(damage) << damage;
}

void TestConvertSource::damagedFilesAreRefusedWhole()
{
    REQUIRE_FIXTURES();
    QFETCH(QString, damage);
    const QByteArray whole = readAll(fixture("zorbin-v1-sample.mdb"));
    QByteArray bytes = whole;
    const qsizetype size = whole.size();
    if (damage == "cut 25%")
        bytes.truncate(size / 4);
    else if (damage == "cut 50%")
        bytes.truncate(size / 2);
    else if (damage == "cut 75%")
        bytes.truncate(size * 3 / 4);
    else if (damage == "cut in last page")
        bytes.truncate(size - 100);
    else if (damage == "last page gone")
        bytes.truncate(size - kPage);
    int page = -1;
    if (damage == "zeroed contacts page")
        page = firstDataPage(whole, definitionPage(whole, "Table_Contact"));
    else if (damage == "zeroed sites page")
        page = firstDataPage(whole, definitionPage(whole, "Table_Site"));
    else if (damage == "zeroed notes page")
        // Site 1's long notes, on the first memo pages after the sites' definition.
        page = firstDataPage(whole, 0x4c41564c, int(definitionPage(whole, "Table_Site")));
    else if (damage.startsWith("zeroed"))
        page = int(whole.lastIndexOf("LVAL") / kPage); // the contacts' addresses
    if (damage.startsWith("zeroed")) {
        QVERIFY(page > 2);
        bytes.replace(qsizetype(page) * kPage, kPage, QByteArray(kPage, '\0'));
    }

    const QString path = QDir(m_env->dir.path()).filePath("damaged.mdb");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), bytes.size());
    out.close();
    const QString target = QDir(m_env->dir.path()).filePath("ZBDB.mdb");
    const QByteArray before = readAll(target);

    // Refused when opened, or when its records are read: never converted in part.
    auto analysis = analyse(path, m_env->dir.path());
    Refusal refusal = analysis ? Refusal{} : analysis.error();
    if (analysis) {
        const auto counts = convert(*analysis);
        QVERIFY2(!counts, "converted");
        refusal = counts.error();
        analysis->source.reset();
        analysis->target.reset();
    }
    QCOMPARE(refusal.kind, Refusal::Kind::Damaged);
    QVERIFY2(refusal.text.contains("damaged"), qPrintable(refusal.text));
    QVERIFY(refusal.text.contains("Nothing was added to ZBDB.mdb."));
    QCOMPARE(readAll(target), before);
}

QTEST_GUILESS_MAIN(TestConvertSource)
#include "tst_convert_source.moc"
