#include "core/csvreader.h"
#include "core/vcardreader.h"
#include "helpers/storetestcase.h"
#include "helpers/testfiles.h"
#include "store/contactrecords.h"
#include "store/pictures.h"
#include "store/sitecsvexport.h"
#include "store/sitecsvimport.h"
#include "store/vcardexport.h"
#include "store/vcardimport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtTest>

using namespace zorbin::store;
using zorbin::core::CsvReader;

namespace {

QString data(const char *name)
{
    return QStringLiteral(ZORBIN_TEST_DATA "/import/") + QLatin1StringView(name);
}

// The records of CSV text, each as its line and fields joined by "|".
QStringList csvRecords(const QByteArray &text, CsvReader::Problem *problem, qint64 *line)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(&buffer);
    QStringList out;
    zorbin::core::CsvRecord r;
    while (reader.next(r))
        out.append(QString::number(r.line) + u':' + r.fields.join(u'|'));
    *problem = reader.problem();
    *line = reader.problemLine();
    return out;
}

QString writeFile(const QString &folder, const char *name, const QByteArray &bytes)
{
    const QString path = folder + u'/' + QLatin1StringView(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

QList<ContactRecord> allContacts(Store &store)
{
    QList<ContactRecord> out;
    const QVector<qint64> ids = store.contactIds().value();
    for (const qint64 id : ids)
        out.append(store.contact(id).value());
    return out;
}

QList<SiteRecord> allSites(Store &store)
{
    QList<SiteRecord> out;
    const QVector<qint64> ids = store.siteIds().value();
    for (const qint64 id : ids)
        out.append(store.site(id).value());
    return out;
}

} // namespace

class TstImportExport : public StoreTestCase
{
    Q_OBJECT

private slots:
    // Quoted fields keep commas, quotes, line breaks and blanks; each record knows the
    // line it starts on; Unicode forms are read and anything else is refused.
    void csvReading()
    {
        CsvReader::Problem problem;
        qint64 line = 0;
        QCOMPARE(csvRecords("a,b\r\n\r\n\" x \",\"q\"\"q\"\r\n\"multi\nline\",\n last ,z", &problem,
                            &line),
                 QStringList({"1:a|b", "3: x |q\"q", "4:multi\nline|", "6: last |z"}));
        QCOMPARE(problem, CsvReader::Problem::None);
        QCOMPARE(csvRecords("\xEF\xBB\xBFh\xC3\xA9\n", &problem, &line), QStringList{"1:hé"});
        const QString persian = QStringLiteral("سایت,ك");
        for (auto form : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QStringEncoder encode(form, QStringConverter::Flag::WriteBom);
            QCOMPARE(csvRecords(encode(persian + u'\n'), &problem, &line),
                     QStringList{QStringLiteral("1:سایت|ك")});
        }
        const struct
        {
            QByteArray text;
            CsvReader::Problem problem;
            qint64 line;
        } bad[] = {
            {"a,b\nok,\"open\nnever,closed\n", CsvReader::Problem::Malformed, 2},
            {"a,b\nx\"y,z\n", CsvReader::Problem::Malformed, 2},
            {QStringLiteral("a,b\nبانک,x\n").toUtf8(), CsvReader::Problem::None, 0},
            {"a,b\n\xC8\xC7\xE4\xDF,x\n", CsvReader::Problem::NotUnicode, 2},
            {QByteArray("a,b\nx\0y,z\n", 10), CsvReader::Problem::Binary, 2},
            {"a,\xD8", CsvReader::Problem::NotUnicode, 1},
        };
        for (const auto &b : bad) {
            csvRecords(b.text, &problem, &line);
            QCOMPARE(problem, b.problem);
            if (b.problem != CsvReader::Problem::None)
                QCOMPARE(line, b.line);
        }
    }

    // Folded lines (even inside a character), quoted-printable soft breaks, escapes, the
    // 2.1 type names, 4.0 data: pictures and tel: numbers; a broken line spoils only its card.
    void vcardReading()
    {
        const QByteArray text = "junk before\r\n"
                                "BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                "FN:\xD8\xB9\xD9\r\n \x84\xDB\x8C \\, x\\;y\\nz\r\n"
                                "item1.TEL;TYPE=\"cell,voice\":tel:+98912\r\n"
                                "TEL;HOME;VOICE:021\r\n"
                                "NOTE;ENCODING=QUOTED-PRINTABLE:a=3Db=\r\nc\r\n"
                                "LABEL:somewhere\r\nADR:;;street;city;;;\r\n"
                                "PHOTO:data:image/png;base64,aGk=\r\n"
                                "END:VCARD\r\n"
                                "BEGIN:VCARD\r\nFN:second\r\nno colon here\r\n"
                                "N;CHARSET=windows-1256:x\r\nEND:VCARD\r\n"
                                "BEGIN:VCARD\r\nFN:open\r\n";
        QBuffer buffer;
        buffer.setData(text);
        buffer.open(QIODevice::ReadOnly);
        zorbin::core::VCardReader reader(&buffer);
        zorbin::core::VCard card;
        QVERIFY(reader.next(card));
        QCOMPARE(card.line, 2);
        QCOMPARE(card.formattedName, QString::fromUtf8("\xD8\xB9\xD9\x84\xDB\x8C , x;y\nz"));
        QCOMPARE(card.phones.size(), 2);
        QCOMPARE(card.phones[0].types, QStringList({"cell", "voice"}));
        QCOMPARE(card.phones[1].types, QStringList({"home", "voice"}));
        QCOMPARE(VCardImport::contactOf(card).mobile, QStringLiteral("+98912"));
        QCOMPARE(card.address, QStringLiteral("street, city"));
        QCOMPARE(card.photo, QByteArray("hi"));
        QVERIFY(!card.malformed && !card.unreadableText);
        QVERIFY(reader.next(card));
        QVERIFY(card.malformed && card.unreadableText);
        QVERIFY(!reader.next(card));
        QCOMPARE(reader.problem(), zorbin::core::VCardReader::Problem::Unfinished);
        QCOMPARE(reader.problemLine(), 19);
    }

    // Written cards fold at 75 bytes without cutting a character, and escape what the
    // format reserves; the CSV quotes every field.
    void writtenForms()
    {
        ContactRecord c;
        c.name = QString(60, u'ش') + QStringLiteral(";,\\");
        c.mobile = QStringLiteral("0912");
        QByteArray card = VCardExport::card(c, QByteArray(200, 'x'), "JPEG");
        for (const QByteArray &line : card.split('\n')) {
            QVERIFY(line.size() <= 76); // with its CR
            QVERIFY(QString::fromUtf8(line).toUtf8() == line);
        }
        QVERIFY(card.replace("\r\n ", "")
                    .contains("FN:" + QString(60, u'ش').toUtf8() + "\\;\\,\\\\\r\n"));
        QVERIFY(m_env->addSite(QStringLiteral("a,\"b\""), QStringLiteral("http://x")) > 0);
        const QString path = m_env->dir.path() + QStringLiteral("/s.csv");
        QVERIFY(
            SiteCsvExport::write(*m_env->store, m_env->store->siteIds().value(), path).has_value());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(
            f.readAll().split('\n').value(1),
            QByteArray("\"news\",\"a,\"\"b\"\"\",\"\",\"\",\"http://x\",\"\",\"\",\"\",\"\",\"\""));
    }

    // Each browser's and KeePassXC's export is told by its header and gives the sites it
    // holds; refused rows say why and where.
    void siteFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("refused"); // line:reason
        QTest::newRow("firefox") << data("firefox.csv") << int(CsvLayout::Firefox)
                                 << QStringList{"www.example.com", "mail.example.org"}
                                 << QStringList{"4:1"};
        QTest::newRow("chromium") << data("chromium.csv") << int(CsvLayout::Chromium)
                                  << QStringList{"بانک نمونه", "shop.example.net"}
                                  << QStringList{"5:2", "6:0"};
        QTest::newRow("keepassxc") << data("keepassxc.csv") << int(CsvLayout::KeePassXC)
                                   << QStringList{"Forum", "خبرگزاری", "Email"} << QStringList{};
        QTest::newRow("utf-16") << data("utf16.csv") << int(CsvLayout::Chromium)
                                << QStringList{"سایت"} << QStringList{};
    }
    void siteFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, layout);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, refused);
        Store &store = *m_env->store;
        SiteCsvImport import(store, file);
        QVERIFY(!import.readHeader());
        QCOMPARE(int(import.layout()), layout);
        const auto preview = import.preview();
        QVERIFY(preview.has_value());
        QCOMPARE(preview->added, titles.size());
        QCOMPARE(store.siteCount().value(), 0);
        const auto done = import.run();
        QVERIFY(done.has_value());
        QStringList stored;
        for (const SiteRecord &s : allSites(store))
            stored.append(s[Onvan]);
        QCOMPARE(stored, titles);
        QStringList why;
        for (const RefusedRow &r : done->refusals)
            why.append(QStringLiteral("%1:%2").arg(r.line).arg(int(r.reason)));
        QCOMPARE(why, refused);
    }

    // What each format carries lands in its field; groups become subjects.
    void siteFields()
    {
        Store &store = *m_env->store;
        SiteCsvImport firefox(store, data("firefox.csv"));
        QVERIFY(!firefox.readHeader());
        firefox.numberDuplicates = true;
        QCOMPARE(firefox.run()->added, 3);
        SiteCsvImport keepass(store, data("keepassxc.csv"));
        QVERIFY(!keepass.readHeader());
        QCOMPARE(keepass.run()->subjectsAdded, 3);
        const QList<SiteRecord> sites = allSites(store);
        QCOMPARE(sites[0][Pass], QStringLiteral("p@ss, \"quoted\""));
        QCOMPARE(sites[1][Pass], QStringLiteral("  spaced pass "));
        QCOMPARE(sites[1][Address], QStringLiteral("https://mail.example.org:8443"));
        QCOMPARE(sites[2][Onvan], QStringLiteral("www.example.com (2)"));
        QCOMPARE(sites[3][Mozoo], QStringLiteral("Root/Internet"));
        QCOMPARE(sites[3][User], QStringLiteral("reza"));
        QCOMPARE(sites[3][Tozihat], QStringLiteral("line one\nline two"));
        QCOMPARE(sites[3][Modir], QStringLiteral(""));
        QVERIFY(store.categoryExists(QStringLiteral("خبری")).value());
    }

    // The phone's vCard 2.1, GNOME's 3.0 and Thunderbird's 4.0 give their contacts, numbers
    // by type and their pictures.
    void contactFiles()
    {
        Store &store = *m_env->store;
        const QString folder = m_env->dir.path();
        for (const char *name : {"phone.vcf", "gnome.vcf", "thunderbird.vcf"}) {
            VCardImport import(store, folder, data(name));
            QVERIFY2(import.preview().has_value(), name);
            QVERIFY2(import.run().has_value(), name);
        }
        const QList<ContactRecord> c = allContacts(store);
        QCOMPARE(c.size(), 3);
        QCOMPARE(c[0].name, QStringLiteral("علی احمدی نیا"));
        QCOMPARE(c[0].mobile, QStringLiteral("09121234567"));
        QCOMPARE(c[0].home, QStringLiteral("0213334444"));
        QCOMPARE(c[0].office, QStringLiteral("0215556666"));
        QCOMPARE(c[0].email, QStringLiteral("ali@example.com"));
        QCOMPARE(c[1].name, QStringLiteral("Sara Karimi"));
        QCOMPARE(c[1].mobile, QStringLiteral("+98 912 765 4321"));
        QCOMPARE(c[1].office, QStringLiteral("021 8888 9999"));
        QCOMPARE(c[1].home, QStringLiteral("021 7777 0000"));
        QCOMPARE(c[1].group, QStringLiteral("Colleagues"));
        QCOMPARE(c[1].job, QStringLiteral("Engineer"));
        QCOMPARE(c[1].site, QStringLiteral("https://sara.example.org"));
        QCOMPARE(c[1].address, QStringLiteral("No. 5, Example St., Tehran, 1234567890, Iran"));
        QCOMPARE(c[2].name, QStringLiteral("Reza Moradi"));
        QCOMPARE(c[2].mobile, QStringLiteral("09351112233"));
        QCOMPARE(c[2].home, QStringLiteral("+98-21-1234-5678"));
        for (const ContactRecord &contact : c) {
            QCOMPARE(contact.image, pictureFileName(contact.mobile));
            QVERIFY(!QImage(picturePath(folder, contact.mobile)).isNull());
            QCOMPARE(fileMode(picturePath(folder, contact.mobile)), 0600);
        }
        // The phone's file: a card without a name, one with a mobile already stored.
        VCardImport again(store, folder, data("phone.vcf"));
        const auto outcome = again.preview();
        QCOMPARE(outcome->added, 0);
        QCOMPARE(outcome->byReason[size_t(Refusal::NoName)], 1);
        QCOMPARE(outcome->byReason[size_t(Refusal::MobileStored)], 2);
    }

    // Every bad file is refused as a whole with its own message, or its bad rows are; the
    // database and the picture folder stay as they were.
    void badFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("failure"); // -1: no failure, every row refused
        using Kind = ImportFailure::Kind;
        QTest::newRow("empty") << QStringLiteral("empty.csv") << int(Kind::Empty);
        QTest::newRow("header only") << QStringLiteral("header.csv") << int(Kind::Empty);
        QTest::newRow("no header") << data("noheader.csv") << int(Kind::NoHeader);
        QTest::newRow("windows-1256") << data("windows1256.csv") << int(Kind::NotUnicode);
        QTest::newRow("unbalanced") << data("unbalanced.csv") << int(Kind::Malformed);
        QTest::newRow("binary") << QStringLiteral("binary.csv") << int(Kind::Binary);
        QTest::newRow("nul") << QStringLiteral("nul.csv") << int(Kind::Binary);
        QTest::newRow("long field") << QStringLiteral("long.csv") << -1;
        QTest::newRow("vcard not image") << data("notimage.vcf") << -1;
        QTest::newRow("vcard unfinished") << QStringLiteral("open.vcf") << int(Kind::Unfinished);
        QTest::newRow("csv as vcard") << data("keepassxc.csv") + "#vcf" << int(Kind::NoCard);
    }
    void badFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, failure);
        const QString folder = m_env->dir.path();
        const QByteArray png =
            QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
                                   "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");
        if (file == u"empty.csv")
            file = writeFile(folder, "empty.csv", "");
        else if (file == u"header.csv")
            file = writeFile(folder, "header.csv", "name,url,username,password\r\n");
        else if (file == u"binary.csv")
            file = writeFile(folder, "binary.csv", png);
        else if (file == u"nul.csv")
            file = writeFile(folder, "nul.csv", QByteArray("name,url\nab\0c,d\n", 16));
        else if (file == u"long.csv")
            file = writeFile(folder, "long.csv", "name,url\nx," + QByteArray(40'000, 'a') + "\n");
        else if (file == u"open.vcf")
            file = writeFile(folder, "open.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\n");
        const bool vcard = file.endsWith(u".vcf") || file.endsWith(u"#vcf");
        file.remove(QStringLiteral("#vcf"));
        Store &store = *m_env->store;
        ImportResult preview;
        ImportResult run;
        if (vcard) {
            VCardImport import(store, folder, file);
            preview = import.preview();
            run = import.run();
        } else {
            SiteCsvImport import(store, file);
            if (auto header = import.readHeader())
                preview = run = std::unexpected(*header);
            else {
                preview = import.preview();
                run = import.run();
            }
        }
        if (failure < 0) {
            QVERIFY(run.has_value());
            QCOMPARE(run->added, 0);
            QCOMPARE(run->refused, 1);
        } else {
            QVERIFY(!preview.has_value() && !run.has_value());
            QCOMPARE(int(run.error().kind), failure);
            QVERIFY(failureMessage(run.error()).endsWith(QStringLiteral("هيچ اطلاعاتي ثبت نشد.")));
        }
        QCOMPARE(store.siteCount().value(), 0);
        QCOMPARE(store.contactCount().value(), 0);
        QCOMPARE(store.categoryCount().value(), 0);
        QVERIFY(!QFile::exists(picturePath(folder, QStringLiteral("09129999999"))));
    }

    // A file changed after its preview is not imported; a stopped import leaves nothing.
    void changedOrStopped()
    {
        Store &store = *m_env->store;
        const QString path = writeFile(m_env->dir.path(), "sites.csv", "name,url\na,http://a\n");
        SiteCsvImport import(store, path);
        QVERIFY(!import.readHeader());
        QCOMPARE(import.preview()->added, 1);
        writeFile(m_env->dir.path(), "sites.csv", "name,url\nb,http://b\n");
        QCOMPARE(import.run().error().kind, ImportFailure::Kind::Changed);
        QCOMPARE(store.siteCount().value(), 0);

        QByteArray many = "name,url\n";
        for (int i = 0; i < 2000; ++i)
            many += "s" + QByteArray::number(i) + ",http://x\n";
        SiteCsvImport stopped(store, writeFile(m_env->dir.path(), "many.csv", many));
        QVERIFY(!stopped.readHeader());
        QCOMPARE(stopped.run([](qint64, qint64) { return false; }).error().kind,
                 ImportFailure::Kind::Cancelled);
        QCOMPARE(store.siteCount().value(), 0);
    }

    // Exported and imported into an empty database, every field the formats carry comes
    // back byte for byte, pictures included; the files are 0600.
    void roundTrip()
    {
        Store &store = *m_env->store;
        const QString folder = m_env->dir.path();
        const QString tricky = QStringLiteral("a \"q\", b; c\\d\nخط دوم ي ك");
        SiteRecord site;
        for (auto &f : site.fields)
            f = QStringLiteral("");
        site[Onvan] = QStringLiteral("سايت, \"يک\"");
        site[Address] = QStringLiteral("https://x.example/a?b=c,d");
        site[Mozoo] = QStringLiteral("موضوع;1");
        site[User] = QStringLiteral("user\\name");
        site[Pass] = QStringLiteral(" p,\"w\"\n ");
        site[Tozihat] = tricky;
        QVERIFY(store.insertSite(site).has_value());
        site[Onvan] = QStringLiteral("second");
        site[Mozoo] = QStringLiteral("");
        QVERIFY(store.insertSite(site).has_value());
        QVERIFY(store.addCategory(QStringLiteral("موضوع;1")).has_value());
        ContactRecord contact{0,
                              tricky,
                              QStringLiteral("دوستان, همکاران"),
                              QStringLiteral("0912 000"),
                              QStringLiteral("021;1"),
                              QStringLiteral(""),
                              QStringLiteral("a@b.c"),
                              QStringLiteral("http://"),
                              QString(300, u'ش'),
                              tricky,
                              pictureFileName(QStringLiteral("0912 000"))};
        QVERIFY(store.insertContact(contact).has_value());
        QImage face(40, 30, QImage::Format_RGB32);
        face.fill(Qt::darkGreen);
        QVERIFY(savePicture(folder, contact.mobile, face).has_value());
        contact.name = QStringLiteral("No picture");
        contact.mobile = QStringLiteral("0913");
        contact.image = pictureFileName(contact.mobile);
        QVERIFY(store.insertContact(contact).has_value());

        const QString csv = folder + QStringLiteral("/out.csv");
        const QString vcf = folder + QStringLiteral("/out.vcf");
        QVERIFY(SiteCsvExport::write(store, store.siteIds().value(), csv).has_value());
        QVERIFY(VCardExport::write(store, folder, store.contactIds().value(), vcf).has_value());
        QCOMPARE(fileMode(csv), 0600);
        QCOMPARE(fileMode(vcf), 0600);

        TestStore empty;
        QVERIFY(empty.ok());
        SiteCsvImport sites(*empty.store, csv);
        QVERIFY(!sites.readHeader());
        QCOMPARE(sites.layout(), CsvLayout::KeePassXC);
        QCOMPARE(sites.run()->added, 2);
        VCardImport contacts(*empty.store, empty.dir.path(), vcf);
        QCOMPARE(contacts.run()->added, 2);

        const QList<SiteRecord> before = allSites(store), after = allSites(*empty.store);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            for (SiteField f : {Onvan, Address, Mozoo, User, Pass, Tozihat})
                QCOMPARE(after[i][f], before[i][f]);
        const QList<ContactRecord> was = allContacts(store), now = allContacts(*empty.store);
        QCOMPARE(now.size(), was.size());
        for (int i = 0; i < was.size(); ++i) {
            QCOMPARE(now[i].name, was[i].name);
            QCOMPARE(now[i].group, was[i].group);
            QCOMPARE(now[i].mobile, was[i].mobile);
            QCOMPARE(now[i].home, was[i].home);
            QCOMPARE(now[i].office, was[i].office);
            QCOMPARE(now[i].email, was[i].email);
            QCOMPARE(now[i].site, was[i].site);
            QCOMPARE(now[i].job, was[i].job);
            QCOMPARE(now[i].address, was[i].address);
        }
        QFile a(picturePath(folder, QStringLiteral("0912 000")));
        QFile b(picturePath(empty.dir.path(), QStringLiteral("0912 000")));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        // The contact without a picture of its own carries none.
        QVERIFY(!QFile::exists(picturePath(empty.dir.path(), QStringLiteral("0913"))));
    }
};

QTEST_GUILESS_MAIN(TstImportExport)
#include "tst_importexport.moc"
