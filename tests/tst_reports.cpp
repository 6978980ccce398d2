#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/lineshaper.h"
#include "common/maker.h"
#include "common/pagepainter.h"
#include "common/pageshaper.h"
#include "common/pagewriter.h"
#include "common/reportpreviewwindow.h"
#include "mainwin/sitedetailsreport.h"
#include "mainwin/sitelistreport.h"
#include "store/result.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

using zorbin::mainwin::SiteDetailsReport;
using zorbin::mainwin::SiteListReport;

using namespace zorbin;
namespace report = zorbin::common::report;
using report::Item;
using report::Page;
using report::Role;

namespace {

QVector<const Item *> itemsOf(const Page &page, Role role)
{
    QVector<const Item *> found;
    for (const Item &item : page.items)
        if (item.role == role)
            found.append(&item);
    return found;
}

// Every text box on the page stays inside the printable area and clear of the others.
void checkPlacement(const QVector<Page> &pages, const QRectF &area)
{
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const QVector<Item> &items = pages[p].items;
        for (qsizetype i = 0; i < items.size(); ++i) {
            QVERIFY2(area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(items[i].rect),
                     qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(items[i].text)));
            for (qsizetype j = i + 1; j < items.size(); ++j)
                QVERIFY2(!items[i].rect.adjusted(0.5, 0.5, -0.5, -0.5).intersects(items[j].rect),
                         qPrintable(QStringLiteral("page %1: %2 / %3")
                                        .arg(p + 1)
                                        .arg(items[i].text, items[j].text)));
        }
    }
}

store::SiteRecord fullSite()
{
    store::SiteRecord r;
    r.id = 7;
    r[store::Onvan] = QStringLiteral("سایت نمونه");
    r[store::Address] = QStringLiteral("http://www.example.ir/");
    r[store::Mozoo] = QStringLiteral("خبری");
    r[store::Email] = QStringLiteral("info@example.ir");
    r[store::Modir] = QStringLiteral("علی رضایی");
    r[store::Mobile] = QStringLiteral("09121234567");
    r[store::Yahoo] = QStringLiteral("ali_yahoo");
    r[store::Facebook] = QStringLiteral("http://facebook.com/example");
    r[store::User] = QStringLiteral("ali");
    r[store::Pass] = QStringLiteral("s3cret!");
    r[store::Tozihat] = QStringLiteral("یادداشت کوتاه درباره این سایت");
    r[store::Gmail] = QStringLiteral("ali@gmail.com");
    r[store::Twitter] = QStringLiteral("@example");
    r[store::Google] = QStringLiteral("+Example");
    r[store::Rss] = QStringLiteral("http://www.example.ir/rss");
    return r;
}

store::SiteListRow listRow(int n)
{
    store::SiteListRow row;
    row.id = n;
    const QString number = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
    row.texts = {QStringLiteral("سایت شماره ") + number,
                 QStringLiteral("http://site%1.ir").arg(number),
                 QStringLiteral("آموزشی"),
                 QStringLiteral("مدیر ") + number,
                 QStringLiteral("0912000%1").arg(number),
                 QStringLiteral("yahoo%1").arg(number),
                 QStringLiteral("mail%1@site.ir").arg(number)};
    return row;
}

QVector<store::SiteListRow> listRows(int count)
{
    QVector<store::SiteListRow> rows;
    for (int n = 1; n <= count; ++n)
        rows.append(listRow(n));
    return rows;
}

// A PDF printer set up as the reports set up their own.
std::unique_ptr<QPrinter> printer(QPageLayout::Orientation orientation)
{
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    report::preparePrinter(*p, orientation, QStringLiteral("test"));
    return p;
}

// Rows every third of which has an address that wraps over two or three lines.
QVector<store::SiteListRow> wrappingRows(int count)
{
    QVector<store::SiteListRow> rows = listRows(count);
    for (int r = 0; r < rows.size(); r += 3)
        rows[r].texts[1] = QStringLiteral("http://www.example.ir/") +
                           QString(40 + r % 50, QLatin1Char('a')) + QStringLiteral("/x");
    return rows;
}

// The rows handed out as the store hands them, from any first row; reading fails from
// row `failFrom` on, as a disk that stops answering would.
SiteListReport streamedReport(const QVector<store::SiteListRow> &rows, int failFrom = -1)
{
    return SiteListReport(
        [rows, failFrom](int first, const SiteListReport::RowSink &sink) -> store::Result<void> {
            for (int r = qMax(0, first); r < rows.size(); ++r) {
                if (r == failFrom)
                    return store::failure(store::StoreError::Kind::Io, QStringLiteral("disk"));
                if (!sink(rows[r]))
                    break;
            }
            return {};
        },
        int(rows.size()));
}

QStringList textsOf(const Page &page)
{
    QStringList texts;
    for (const Item &item : page.items)
        texts << item.text;
    return texts;
}

QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void siteShowsTitleLabelsAndValues();
    void siteEmptyAndNullFieldsPrintEmpty();
    void siteLongNotesFlowOverPages();
    void listShowsHeadingsAndRows();
    void listOfManyRowsSpansPages();
    void listLongCellsStayInTheirColumns();
    void listWithoutRows();
    void wrapMeasuresWhatFitsAsTheLayoutBreaksIt();
    void listPaintsThePagesItCounted();
    void keptGlyphsPaintAsTheLayout();
    void shapedLinesMatchTheTextLayout();
    void pageWriterRefusedByItsPrinter();
    void textsLeftToThePainterPaintAlike();
    void pdfFiles();
    void pdfText();
    void previewHook();
    void previewDialog();
    void previewSavesPdf();
    void longReportPreviewsEveryPage();
    void previewClosedFromItsPageBox();
    void countedInSlicesLaysOutAsTheWhole();
    void unreadRowsAreToldNotPrinted();
    void cancelledSaveKeepsTheFileItWouldReplace();
    void previewStepsThroughEveryPage();
#ifdef ZORBIN_SCREENSHOTS
    void screenshots();
#endif

private:
    QString m_shots; // where pictures of the reports go when asked for
};

void TestReports::initTestCase()
{
    qApp->setLayoutDirection(Qt::RightToLeft);
    m_shots = qEnvironmentVariable("ZORBIN_REPORT_SHOTS");
}

void TestReports::siteShowsTitleLabelsAndValues()
{
    QCOMPARE(SiteDetailsReport::title(), QStringLiteral("زوربين  -  مشخصات سايت"));
    const QStringList expected{QStringLiteral(":عنوان سايت"),  QStringLiteral(":مدير سايت"),
                               QStringLiteral(":تلفن تماس"),   QStringLiteral(":شناسه ياهو"),
                               QStringLiteral(":فيسبوک"),      QStringLiteral(":نام کاربري شما"),
                               QStringLiteral(":آدرس سايت"),   QStringLiteral(":ايميل سايت"),
                               QStringLiteral(":موضوع سايت"),  QStringLiteral(":رمز عبور"),
                               QStringLiteral(":توضيحات"),     QStringLiteral(":شناسه گوگل"),
                               QStringLiteral(":توئيتر سايت"), QStringLiteral(":گوگل پلاس"),
                               QStringLiteral(":سايت RSS")};
    QCOMPARE(SiteDetailsReport::labels(), expected);

    const store::SiteRecord record = fullSite();
    auto device = printer(QPageLayout::Portrait);
    const QVector<Page> pages = SiteDetailsReport(record).layout(device.get());
    QCOMPARE(pages.size(), 1);
    checkPlacement(pages, report::area(device.get()));
    const Page &page = pages.first();

    const auto titles = itemsOf(page, Role::Title);
    QCOMPARE(titles.size(), 1);
    QCOMPARE(titles.first()->text, QStringLiteral("زوربين  -  مشخصات سايت"));

    const auto labels = itemsOf(page, Role::Label);
    const auto values = itemsOf(page, Role::Value);
    QCOMPARE(labels.size(), 15);
    QCOMPARE(values.size(), 15);
    const QVector<store::SiteField> fields{
        store::Onvan,   store::Modir,   store::Mobile,  store::Yahoo,  store::Facebook,
        store::User,    store::Address, store::Email,   store::Mozoo,  store::Pass,
        store::Tozihat, store::Gmail,   store::Twitter, store::Google, store::Rss};
    for (int i = 0; i < 15; ++i) {
        QCOMPARE(labels[i]->text, expected[i]);
        QCOMPARE(values[i]->row, i);
        QCOMPARE(values[i]->text, record[fields[i]]);
        // Label on the right, its value to its left on the same line, top to bottom.
        QVERIFY(labels[i]->rect.left() >= values[i]->rect.right());
        QCOMPARE(labels[i]->rect.top(), values[i]->rect.top());
        if (i > 0)
            QVERIFY(labels[i]->rect.top() > labels[i - 1]->rect.top());
        QVERIFY(labels[i]->rect.top() > titles.first()->rect.bottom());
    }
    QCOMPARE(values[0]->direction, Qt::RightToLeft);
    QCOMPARE(values[7]->direction, Qt::LeftToRight); // the e-mail address

    const auto footers = itemsOf(page, Role::Footer);
    QCOMPARE(footers.size(), 1);
    QCOMPARE(footers.first()->text,
             QStringLiteral("» Zorbin v2.0") + zorbin::common::maker::notice());
    QVERIFY(footers.first()->rect.top() > labels.last()->rect.bottom());
}

void TestReports::siteEmptyAndNullFieldsPrintEmpty()
{
    store::SiteRecord record; // every field NULL
    record[store::Onvan] = QStringLiteral("فقط عنوان");
    record[store::Email] = QStringLiteral("");
    auto device = printer(QPageLayout::Portrait);
    const QVector<Page> pages = SiteDetailsReport(record).layout(device.get());
    QCOMPARE(pages.size(), 1);
    const auto values = itemsOf(pages.first(), Role::Value);
    QCOMPARE(values.size(), 15);
    QCOMPARE(values[0]->text, QStringLiteral("فقط عنوان"));
    for (int i = 1; i < 15; ++i)
        QVERIFY2(values[i]->text.isEmpty(), qPrintable(values[i]->text));
    QCOMPARE(itemsOf(pages.first(), Role::Label).size(), 15);

    QTemporaryDir dir;
    QVERIFY(SiteDetailsReport(record).savePdf(dir.filePath("empty.pdf")));
}

void TestReports::siteLongNotesFlowOverPages()
{
    // Ten thousand characters of notes in words and one long unbroken run.
    QString notes;
    for (int i = 0; notes.size() < 9000; ++i)
        notes += QStringLiteral("یادداشت%1 ").arg(i);
    notes += QString(1000, QLatin1Char('x'));
    notes = notes.left(10000);
    store::SiteRecord record = fullSite();
    record[store::Tozihat] = notes;

    auto device = printer(QPageLayout::Portrait);
    const QVector<Page> pages = SiteDetailsReport(record).layout(device.get());
    QVERIFY(pages.size() >= 2);
    checkPlacement(pages, report::area(device.get()));

    QString printed;
    int labelCount = 0;
    for (const Page &page : pages) {
        labelCount += int(itemsOf(page, Role::Label).size());
        for (const Item *item : itemsOf(page, Role::Value))
            if (item->row == 10)
                printed += item->text;
        const auto footers = itemsOf(page, Role::Footer);
        QCOMPARE(footers.size(), 1);
        QCOMPARE(footers.first()->text, SiteDetailsReport::footer());
    }
    QCOMPARE(labelCount, 15);
    // Nothing of the notes is lost: only the blanks where lines break are gone.
    QString expected = notes;
    expected.remove(QLatin1Char(' '));
    QCOMPARE(QString(printed).remove(QLatin1Char(' ')), expected);
    // The fields after the notes come after them, on the last page.
    const auto lastLabels = itemsOf(pages.last(), Role::Label);
    QVERIFY(!lastLabels.isEmpty());
    QCOMPARE(lastLabels.last()->text, SiteDetailsReport::labels().last());

    QTemporaryDir dir;
    QVERIFY(SiteDetailsReport(record).savePdf(dir.filePath("notes.pdf")));
    if (!m_shots.isEmpty())
        SiteDetailsReport(record).savePdf(QDir(m_shots).filePath("site-notes.pdf"));
}

void TestReports::listShowsHeadingsAndRows()
{
    QCOMPARE(SiteListReport::title(), QStringLiteral("زوربين  -  ليست سايت ها"));
    const QStringList headings{QStringLiteral("عنوان سايت"), QStringLiteral("آدرس سايت"),
                               QStringLiteral("موضوع سايت"), QStringLiteral("مدير سايت"),
                               QStringLiteral("تلفن تماس"),  QStringLiteral("شناسه ياهو"),
                               QStringLiteral("ايميل سايت")};
    QCOMPARE(SiteListReport::headings(), headings);
    QCOMPARE(SiteListReport::pageFooter(2, 5), QStringLiteral("صفحه 2 از 5"));

    const QVector<store::SiteListRow> rows = listRows(5);
    auto device = printer(QPageLayout::Landscape);
    const QVector<Page> pages = SiteListReport(rows).layout(device.get());
    QCOMPARE(pages.size(), 1);
    checkPlacement(pages, report::area(device.get()));
    const Page &page = pages.first();
    QCOMPARE(itemsOf(page, Role::Title).first()->text, SiteListReport::title());

    // Headings from right to left in the order above.
    auto heads = itemsOf(page, Role::Heading);
    QCOMPARE(heads.size(), 7);
    std::sort(heads.begin(), heads.end(),
              [](const Item *a, const Item *b) { return a->rect.left() > b->rect.left(); });
    for (int c = 0; c < 7; ++c)
        QCOMPARE(heads[c]->text, headings[c]);

    // Each cell under its heading, rows top to bottom in the order given.
    const auto cells = itemsOf(page, Role::Cell);
    QCOMPARE(cells.size(), 5 * 7);
    for (const Item *cell : cells) {
        QCOMPARE(cell->text, rows[cell->row].texts[cell->column]);
        const Item *head = heads[cell->column];
        QVERIFY(cell->rect.left() >= head->rect.left() - 0.5);
        QVERIFY(cell->rect.right() <= head->rect.right() + 0.5);
        QVERIFY(cell->rect.top() >= head->rect.bottom());
    }
    for (qsizetype i = 7; i < cells.size(); ++i)
        if (cells[i]->column == 0)
            QVERIFY(cells[i]->rect.top() > cells[i - 7]->rect.top());
    QCOMPARE(itemsOf(page, Role::Footer).first()->text, QStringLiteral("صفحه 1 از 1"));
}

void TestReports::listOfManyRowsSpansPages()
{
    const QVector<store::SiteListRow> rows = listRows(230);
    const SiteListReport report(rows);
    auto device = printer(QPageLayout::Landscape);
    const QVector<Page> pages = report.layout(device.get());
    const int count = report.pageCount(device.get());
    QCOMPARE(count, int(pages.size()));
    QVERIFY(count >= 4);
    checkPlacement(pages, report::area(device.get()));

    QVector<int> seen(rows.size(), 0);
    int previous = -1;
    for (int p = 0; p < count; ++p) {
        const Page &page = pages[p];
        QCOMPARE(itemsOf(page, Role::Title).size(), 1);
        QCOMPARE(itemsOf(page, Role::Heading).size(), 7);
        const auto footers = itemsOf(page, Role::Footer);
        QCOMPARE(footers.size(), 1);
        QCOMPARE(footers.first()->text, QStringLiteral("صفحه %1 از %2").arg(p + 1).arg(count));
        int rowsHere = 0;
        for (const Item *cell : itemsOf(page, Role::Cell)) {
            if (cell->column != 0)
                continue;
            QCOMPARE(cell->text, rows[cell->row].texts[0]);
            QVERIFY(cell->row > previous);
            previous = cell->row;
            ++seen[cell->row];
            ++rowsHere;
        }
        QVERIFY(rowsHere > 0);
    }
    QCOMPARE(seen, QVector<int>(rows.size(), 1));

    const QStringList texts = report.pageTexts(device.get());
    QCOMPARE(texts.size(), count);
    QVERIFY(texts.last().contains(QStringLiteral("صفحه %1 از %1").arg(count)));
    QVERIFY(texts.last().contains(rows.last().texts[6]));
}

void TestReports::listLongCellsStayInTheirColumns()
{
    store::SiteListRow row = listRow(1);
    QString title;
    for (int i = 0; i < 200; ++i)
        title += QStringLiteral("واژه ");
    row.texts[0] = title;
    row.texts[1] = QStringLiteral("http://") + QString(400, QLatin1Char('a')) + ".ir";
    row.texts[6] = QString(300, QLatin1Char('m')) + QStringLiteral("@example.ir");
    row.texts[3] = QStringLiteral("خط اول\r\nخط دوم");
    const QVector<store::SiteListRow> rows{row, listRow(2)};
    auto device = printer(QPageLayout::Landscape);
    const QVector<Page> pages = SiteListReport(rows).layout(device.get());
    QCOMPARE(pages.size(), 1);
    checkPlacement(pages, report::area(device.get()));

    QVector<const Item *> titleLines;
    QStringList modirLines;
    for (const Item *cell : itemsOf(pages.first(), Role::Cell)) {
        if (cell->row == 0 && cell->column == 0)
            titleLines.append(cell);
        if (cell->row == 0 && cell->column == 3)
            modirLines.append(cell->text);
    }
    QCOMPARE(titleLines.size(), 3);
    QVERIFY(titleLines.last()->text.endsWith(QChar(0x2026)));
    QCOMPARE(modirLines, QStringList({QStringLiteral("خط اول"), QStringLiteral("خط دوم")}));
}

void TestReports::listWithoutRows()
{
    auto device = printer(QPageLayout::Landscape);
    const SiteListReport report({});
    QCOMPARE(report.pageCount(device.get()), 1);
    const QVector<Page> pages = report.layout(device.get());
    QCOMPARE(itemsOf(pages.first(), Role::Heading).size(), 7);
    QVERIFY(itemsOf(pages.first(), Role::Cell).isEmpty());
    QCOMPARE(itemsOf(pages.first(), Role::Footer).first()->text, QStringLiteral("صفحه 1 از 1"));
}

void TestReports::wrapMeasuresWhatFitsAsTheLayoutBreaksIt()
{
    auto device = printer(QPageLayout::Landscape);
    const QFont font = report::font(9);
    const QStringList texts{QStringLiteral("http://www.example.ir/"),
                            QStringLiteral("info1234@example.com"),
                            QStringLiteral("AVAVAVAVAV To Ty Va We Yo LT"),
                            QStringLiteral("ffi fl fi office"),
                            QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW"),
                            QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiii"),
                            QStringLiteral("سایت نمونه خبری"),
                            QStringLiteral("کتابخانه ی ملی ایران 1403"),
                            QStringLiteral("Yahoo خبرگزاری news"),
                            QStringLiteral("لالالا ییییی ـــــ سسس"),
                            QStringLiteral("بِسمِ اللهِ الرَّحمنِ"),
                            QStringLiteral("ends in blanks   "),
                            QStringLiteral("   "),
                            QString(),
                            QStringLiteral("tab\there"),
                            QStringLiteral("line one\r\nline two"),
                            QStringLiteral("no break") + QChar(0x0085)};
    const QFontMetricsF metrics(font, device.get());
    int oneLine = 0;
    int more = 0;
    for (const QString &text : texts) {
        const qreal natural = metrics.horizontalAdvance(text);
        // Widths from plainly wide enough, across the text's own width, to far too narrow.
        for (const qreal width : {natural * 3 + 10, natural * 1.2, natural + 2, natural,
                                  natural - 2, natural * 0.8, natural / 2, natural / 5 + 1}) {
            const auto measured = report::wrap(text, font, width, device.get(), 3);
            const auto laidOut = report::wrapByLayout(text, font, width, device.get(), 3);
            QCOMPARE(measured.size(), laidOut.size());
            for (qsizetype k = 0; k < measured.size(); ++k) {
                QCOMPARE(measured[k].text, laidOut[k].text);
                QCOMPARE(measured[k].direction, laidOut[k].direction);
            }
            (laidOut.size() == 1 ? oneLine : more)++;
        }
    }
    // Both kinds were met.
    QVERIFY(oneLine > 40);
    QVERIFY(more > 20);
}

void TestReports::listPaintsThePagesItCounted()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdftotext.isEmpty() || pdfinfo.isEmpty())
        QSKIP("poppler's pdftotext and pdfinfo are not installed");
    // Every fifth row has cells of two and three lines, which make their rows taller.
    QVector<store::SiteListRow> rows = listRows(150);
    for (int r = 0; r < rows.size(); r += 5) {
        rows[r].texts[1] = QStringLiteral("http://www.example.ir/") + QString(60, QLatin1Char('a'));
        rows[r].texts[6] = QString(r % 2 ? 300 : 70, QLatin1Char('m')) + QStringLiteral("@x.ir");
    }
    const SiteListReport report(rows);
    auto device = printer(QPageLayout::Landscape);
    const QVector<Page> pages = report.layout(device.get());
    QVERIFY(pages.size() > 3);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    QVERIFY(report.savePdf(path));
    QVERIFY(runTool(pdfinfo, {path})
                .contains(QRegularExpression(QStringLiteral("Pages: +%1\n").arg(pages.size()))));
    // Each page painted holds the Latin lines laid out on it, the wrapped ones too.
    int wrapped = 0;
    for (int p = 0; p < pages.size(); ++p) {
        const QString number = QString::number(p + 1);
        const QString painted =
            runTool(pdftotext, {QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                                QStringLiteral("-layout"), path, QStringLiteral("-")});
        for (const Item *cell : itemsOf(pages[p], Role::Cell)) {
            if (cell->column != 1 && cell->column != 6)
                continue;
            QVERIFY2(painted.contains(cell->text), qPrintable(cell->text));
            if (cell->text != rows[cell->row].texts[cell->column])
                ++wrapped;
        }
    }
    QVERIFY(wrapped > 50);
}

void TestReports::keptGlyphsPaintAsTheLayout()
{
    // A page painted three times by one painter, shaped on its own and then from kept
    // glyphs, looks as the page painted item by item through the layout.
    const QVector<Page> pages =
        SiteListReport(listRows(30)).layout(printer(QPageLayout::Landscape).get());
    Page page = pages.first();
    page.fills.clear();
    page.rules.clear();
    const auto paintOn = [&](bool keep) {
        QImage image(1400, 1000, QImage::Format_ARGB32);
        image.setDotsPerMeterX(47244); // the printer's 1200 dots an inch
        image.setDotsPerMeterY(47244);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.1, 0.1);
        report::ItemPainter items(painter);
        for (int round = 0; round < 3; ++round)
            for (const Item &item : page.items)
                keep ? items.paint(item) : report::paintItem(painter, item);
        return std::pair(image, items.reused());
    };
    const auto [kept, reused] = paintOn(true);
    const auto [plain, none] = paintOn(false);
    QCOMPARE(none, 0);
    QVERIFY(reused >= page.items.size());
    QCOMPARE(kept.size(), plain.size());
    // The same glyphs in the same places; a place rounded the other way at the printer's
    // 1,200 dots an inch shades an edge pixel a little differently.
    int differing = 0;
    for (int y = 0; y < kept.height(); ++y)
        for (int x = 0; x < kept.width(); ++x)
            differing += qAbs(qGray(kept.pixel(x, y)) - qGray(plain.pixel(x, y))) > 48 ? 1 : 0;
    QVERIFY2(differing <= kept.width() * kept.height() / 2000,
             qPrintable(QString::number(differing)));
}

void TestReports::shapedLinesMatchTheTextLayout()
{
    // Glyphs and places of lines shaped alone, against the text layout's, in both
    // directions: Persian with both spellings, digits of both kinds and a joiner, Latin,
    // mixed texts, brackets and punctuation.
    const QStringList texts{
        QStringLiteral("كتابخانه ملی ياهو"),
        QStringLiteral("سایت‌ها و کتاب‌ها"),
        QStringLiteral("ورزش بانک 1234"),
        QStringLiteral("تلفن ۰۹۱۲۳۴۵۶۷۸۹ و ٠١٢"),
        QStringLiteral("http://www.example.com/a/b/index.php?id=42"),
        QStringLiteral("info12@example.com"),
        QStringLiteral("Google گوگل (جستجو) 2.5"),
        QStringLiteral("مدیر: علی - رضا، «نقل» [1]"),
        QStringLiteral("AVATAR Tokyo fi ffl"),
        QStringLiteral("x"),
    };
    const QPrinter *device = report::layoutDevice(QPageLayout::Landscape);
    for (const bool bold : {false, true}) {
        const QFont font(report::font(10, bold), device);
        const report::LineShaper shaper(font);
        QVERIFY(shaper.usable());
        for (const QString &text : texts) {
            for (const auto direction : {Qt::RightToLeft, Qt::LeftToRight}) {
                QTextLayout layout(text, font);
                // Placed at the right end of a wide box, as the report's cells are.
                constexpr qreal box = 20000;
                QTextOption option(Qt::AlignRight | Qt::AlignAbsolute);
                option.setWrapMode(QTextOption::NoWrap);
                option.setTextDirection(direction);
                layout.setTextOption(option);
                layout.beginLayout();
                QTextLine line = layout.createLine();
                line.setLineWidth(box);
                line.setPosition(QPointF(0, 0));
                layout.endLayout();
                QList<std::tuple<qreal, quint32, qreal>> expected;
                for (const QGlyphRun &run : layout.glyphRuns())
                    for (qsizetype g = 0; g < run.glyphIndexes().size(); ++g)
                        expected.append({run.positions()[g].x(), run.glyphIndexes()[g],
                                         run.positions()[g].y()});
                const auto shaped = shaper.shape(text, direction);
                QVERIFY2(shaped, qPrintable(text));
                QList<std::tuple<qreal, quint32, qreal>> ours;
                for (qsizetype g = 0; g < shaped->glyphs.size(); ++g)
                    ours.append({box - shaped->width + shaped->positions[g].x(), shaped->glyphs[g],
                                 line.ascent() + shaped->positions[g].y()});
                std::sort(expected.begin(), expected.end());
                std::sort(ours.begin(), ours.end());
                const QString what = text + (direction == Qt::RightToLeft ? " RTL" : " LTR");
                QCOMPARE(ours.size(), expected.size());
                for (qsizetype g = 0; g < ours.size(); ++g) {
                    QVERIFY2(std::get<1>(ours[g]) == std::get<1>(expected[g]), qPrintable(what));
                    QVERIFY2(qAbs(std::get<2>(ours[g]) - std::get<2>(expected[g])) < 1,
                             qPrintable(what));
                    // A fiftieth of a millimetre at 1,200 dots an inch: the layout rounds
                    // each advance to a 64th of a dot.
                    QVERIFY2(qAbs(std::get<0>(ours[g]) - std::get<0>(expected[g])) < 1,
                             qPrintable(what));
                }
            }
        }
    }
    // What only the layout does exactly is left to it.
    const report::LineShaper shaper(QFont(report::font(10), device));
    for (const QString &text : {QStringLiteral(" padded"), QStringLiteral("tab\there"),
                                QStringLiteral("\u200Fmarked"), QStringLiteral("漢字")})
        QVERIFY2(!shaper.shape(text, Qt::LeftToRight), qPrintable(text));
}

void TestReports::textsLeftToThePainterPaintAlike()
{
    // The writer shapes the pages it is handed unshaped with fonts made again from their
    // descriptions: the title's bold and the labels' sizes come out as the window's own
    // shaping paints them.
    const QPrinter *device = report::layoutDevice(QPageLayout::Portrait);
    const Page page = SiteDetailsReport(fullSite()).layout(device).first();
    const auto paint = [&](bool shapeHere) {
        QImage image(1000, 1400, QImage::Format_ARGB32);
        image.setDotsPerMeterX(47244);
        image.setDotsPerMeterY(47244);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.1, 0.1);
        report::PageShaper shaper(device);
        const report::ShapedPage shaped = shaper.shape(page, shapeHere);
        if (!shapeHere) {
            const bool allLeft = shaped.texts.isEmpty() && !shaped.unshaped.isEmpty();
            if (!allLeft)
                return QImage();
        }
        report::PagePainter(painter, device).paint(shaped);
        return image;
    };
    const QImage here = paint(true);
    const QImage there = paint(false);
    QVERIFY(!there.isNull());
    int differing = 0;
    int inked = 0;
    for (int y = 0; y < here.height(); ++y) {
        for (int x = 0; x < here.width(); ++x) {
            differing += qAbs(qGray(here.pixel(x, y)) - qGray(there.pixel(x, y))) > 48 ? 1 : 0;
            inked += qGray(here.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    QVERIFY(inked > 2000);
    QVERIFY2(differing <= here.width() * here.height() / 2000,
             qPrintable(QString::number(differing)));
}

void TestReports::pageWriterRefusedByItsPrinter()
{
    const QVector<Page> pages =
        SiteListReport(listRows(200)).layout(report::layoutDevice(QPageLayout::Landscape));
    QVERIFY(pages.size() > 3);
    QTemporaryDir dir;
    // A file that cannot be made: the writer says so, and takes pages without waiting.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("missing/folder/list.pdf"));
    report::PageWriter writer(printer, report::layoutDevice(QPageLayout::Landscape));
    for (int round = 0; round < 20; ++round)
        for (const Page &page : pages)
            writer.add(page);
    QVERIFY(!writer.finish());
    QVERIFY(writer.refused());
    QCOMPARE(writer.written(), 0);
}

void TestReports::pdfFiles()
{
    QTemporaryDir dir;
    const QString site = dir.filePath("site.pdf");
    const QString list = dir.filePath("list.pdf");
    QVERIFY(SiteDetailsReport(fullSite()).savePdf(site));
    QVERIFY(SiteListReport(listRows(120)).savePdf(list));
    for (const QString &path : {site, list}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.size() > 5000);
        QVERIFY(file.read(5).startsWith("%PDF"));
    }
    // A folder that is not there takes no file; nothing is left behind a failed write.
    QVERIFY(!SiteDetailsReport(fullSite()).savePdf(dir.filePath("missing/folder/site.pdf")));
    QVERIFY(!SiteListReport(listRows(3)).savePdf(dir.filePath("missing/folder/list.pdf")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    if (!m_shots.isEmpty()) {
        SiteDetailsReport(fullSite()).savePdf(QDir(m_shots).filePath("site.pdf"));
        SiteListReport(listRows(120)).savePdf(QDir(m_shots).filePath("list.pdf"));
    }
}

void TestReports::pdfText()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdftotext.isEmpty() || pdfinfo.isEmpty())
        QSKIP("poppler's pdftotext and pdfinfo are not installed");

    QTemporaryDir dir;
    const QString site = dir.filePath("site.pdf");
    QVERIFY(SiteDetailsReport(fullSite()).savePdf(site));
    const QString siteText = runTool(pdftotext, {site, QStringLiteral("-")});
    QVERIFY2(siteText.contains(QStringLiteral("info@example.ir")), qPrintable(siteText));
    QVERIFY(siteText.contains(QStringLiteral("Zorbin v2.0")));
    QVERIFY(siteText.contains(QStringLiteral("09121234567")));
    const QString siteInfo = runTool(pdfinfo, {site});
    QVERIFY2(siteInfo.contains(QRegularExpression(QStringLiteral("Pages: +1\n"))),
             qPrintable(siteInfo));
    QVERIFY2(siteInfo.contains(QRegularExpression(QStringLiteral("Page size: +595 x 842"))),
             qPrintable(siteInfo)); // A4 portrait

    const QString list = dir.filePath("list.pdf");
    const SiteListReport report(listRows(210));
    QVERIFY(report.savePdf(list));
    const QString listText = runTool(pdftotext, {list, QStringLiteral("-")});
    QVERIFY(listText.contains(QStringLiteral("mail001@site.ir")));
    QVERIFY(listText.contains(QStringLiteral("mail210@site.ir")));
    QVERIFY(listText.contains(QStringLiteral("http://site105.ir")));
    auto device = printer(QPageLayout::Landscape);
    const QString listInfo = runTool(pdfinfo, {list});
    const QRegularExpression pages(
        QStringLiteral("Pages: +%1\n").arg(report.pageCount(device.get())));
    QVERIFY2(listInfo.contains(pages), qPrintable(listInfo));
    QVERIFY2(listInfo.contains(QRegularExpression(QStringLiteral("Page size: +842 x 595"))),
             qPrintable(listInfo)); // A4 landscape
}

void TestReports::previewHook()
{
    // Under a script the preview is only recorded: the report's name and its records.
    common::Dialogs::Script script;
    QWidget owner;
    SiteDetailsReport(fullSite()).exec(&owner);
    SiteListReport(listRows(12)).exec(&owner);
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(script.texts(),
             QStringList({QStringLiteral("Print_Site"), QStringLiteral("Print_Sites")}));
    QCOMPARE(script.shown[0].kind, common::Dialogs::Kind::Preview);
    QCOMPARE(script.shown[0].records, 1);
    QCOMPARE(script.shown[1].records, 12);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestReports::previewDialog()
{
    // The report opens in a modal preview named and titled after it, with every page.
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    for (const bool list : {false, true}) {
        QString name;
        QString title;
        int pages = 0;
        bool modal = false;
        common::Dialogs::Script script;
        script.onWindow = [&](QDialog &window) {
            auto *preview = dynamic_cast<common::ReportPreviewWindow *>(&window);
            QVERIFY(preview);
            name = preview->objectName();
            title = preview->windowTitle();
            modal = preview->isModal();
            QTRY_VERIFY(preview->counted());
            pages = preview->pageCount();
            if (!m_shots.isEmpty())
                preview->grab().save(QDir(m_shots).filePath(name + ".png"));
        };
        if (list)
            SiteListReport(listRows(60)).exec(&owner);
        else
            SiteDetailsReport(fullSite()).exec(&owner);
        QCOMPARE(name, list ? QStringLiteral("Print_Sites") : QStringLiteral("Print_Site"));
        QCOMPARE(title, list ? SiteListReport::title() : SiteDetailsReport::title());
        QVERIFY(modal);
        QVERIFY(pages >= (list ? 2 : 1));
    }
}

void TestReports::previewSavesPdf()
{
    // The preview's save button asks for a file name and writes the report there; a
    // file that cannot be written is reported.
    QTemporaryDir dir;
    common::Dialogs::Script script;
    const QString good = dir.filePath("from-preview.pdf");
    script.fileNames = {good, dir.filePath("missing/folder/x.pdf")};
    script.onWindow = [](QDialog &dialog) {
        if (dialog.objectName() == QStringLiteral("Print_Progress")) {
            QTRY_VERIFY(!dialog.isVisible());
            return;
        }
        auto *save = dialog.findChild<QAction *>(QStringLiteral("Save_Pdf"));
        QVERIFY(save);
        save->trigger();
        save->trigger();
    };
    QWidget owner;
    SiteListReport(listRows(40)).exec(&owner);
    QVERIFY(QFileInfo(good).size() > 5000);
    QCOMPARE(QFileInfo(good).permissions() & 0x0FFF,
             QFileDevice::ReadUser | QFileDevice::WriteUser);
    QCOMPARE(script.shown.size(), 5);
    QCOMPARE(script.shown[0].kind, common::Dialogs::Kind::Preview);
    QCOMPARE(script.shown[1].kind, common::Dialogs::Kind::SaveFile);
    QCOMPARE(script.shown[2].text, QStringLiteral("Print_Progress"));
    QCOMPARE(script.shown[4].kind, common::Dialogs::Kind::Error);
    QVERIFY(script.shown[4].text.contains(QStringLiteral("PDF")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"from-preview.pdf"});
}

void TestReports::longReportPreviewsEveryPage()
{
    // Rows whose cells wrap: the preview's last page holds the last rows with the exact
    // footer, the saved file has the preview's pages, text and count, and a cancelled
    // save leaves nothing behind.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdftotext.isEmpty() || pdfinfo.isEmpty())
        QSKIP("poppler's pdftotext and pdfinfo are not installed");
    QVector<store::SiteListRow> rows = listRows(5000);
    for (int r = 0; r < rows.size(); r += 3)
        rows[r].texts[1] = QStringLiteral("http://www.example.ir/") +
                           QString(40 + r % 50, QLatin1Char('a')) + QStringLiteral("/x");
    const SiteListReport report(rows);
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.pdf"));
    const QString stopped = dir.filePath(QStringLiteral("stopped.pdf"));
    int pages = 0;
    int windows = 0;
    QStringList lastTexts;
    QStringList firstTexts;
    bool cancelNext = false;
    common::Dialogs::Script script;
    script.fileNames = {saved, stopped};
    script.onWindow = [&](QDialog &window) {
        ++windows;
        if (window.objectName() == QStringLiteral("Print_Progress")) {
            if (cancelNext) {
                // Stopped while it counts or writes.
                QTest::qWait(60);
                window.findChild<QPushButton *>(QStringLiteral("Button_Cancel"))->click();
            }
            QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 60000);
            return;
        }
        auto &preview = dynamic_cast<common::ReportPreviewWindow &>(window);
        // The first page is there before the count ends; its footer follows.
        QVERIFY(preview.pageCount() >= 1);
        QTRY_VERIFY_WITH_TIMEOUT(preview.counted(), 60000);
        pages = preview.pageCount();
        window.findChild<QAction *>(QStringLiteral("Page_Last"))->trigger();
        QCOMPARE(preview.currentPage(), pages - 1);
        QCOMPARE(window.findChild<QSpinBox *>(QStringLiteral("Page_Number"))->value(), pages);
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("Page_Count"))
                    ->text()
                    .contains(QString::number(pages)));
        const Page last = preview.page(pages - 1);
        for (const Item &item : last.items)
            lastTexts << item.text;
        for (const Item &item : preview.page(0).items)
            firstTexts << item.text;
        QTest::qWait(50);
        QVERIFY(preview.keptImages() <= common::ReportPreviewWindow::KeptPages);
        window.findChild<QAction *>(QStringLiteral("Save_Pdf"))->trigger();
        cancelNext = true;
        window.findChild<QAction *>(QStringLiteral("Save_Pdf"))->trigger();
    };
    QWidget owner;
    report.exec(&owner);
    QCOMPARE(windows, 3);
    QVERIFY(pages > 300);
    QVERIFY(lastTexts.contains(QStringLiteral("صفحه %1 از %1").arg(pages)));
    QVERIFY(lastTexts.contains(rows.last().texts[6]));
    QVERIFY(firstTexts.contains(QStringLiteral("صفحه 1 از %1").arg(pages)));
    // The same count as laid out on a PDF printer of its own.
    QCOMPARE(int(report.layout(printer(QPageLayout::Landscape).get()).size()), pages);

    QVERIFY(runTool(pdfinfo, {saved})
                .contains(QRegularExpression(QStringLiteral("Pages: +%1\n").arg(pages))));
    const QString lastPage =
        runTool(pdftotext, {QStringLiteral("-f"), QString::number(pages), QStringLiteral("-l"),
                            QString::number(pages), saved, QStringLiteral("-")});
    QVERIFY2(lastPage.contains(rows.last().texts[6]), qPrintable(lastPage));
    QVERIFY(lastPage.contains(QString::number(pages)));
    // Cancelled: no file, no temporary one, no message.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"saved.pdf"});
    QCOMPARE(script.of(common::Dialogs::Kind::Error).size(), 0);
}

void TestReports::previewClosedFromItsPageBox()
{
    // Closed while the page box has the focus: the box lets go of it as the window goes.
    const SiteListReport report(listRows(200));
    auto preview = report.makePreview(nullptr);
    preview->show();
    preview->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(preview.get()));
    auto *pageBox = preview->findChild<QSpinBox *>();
    QVERIFY(pageBox);
    pageBox->setFocus();
    QCOMPARE(QApplication::focusWidget(), pageBox);
    preview.reset();
    QVERIFY(!QApplication::focusWidget());
}

void TestReports::countedInSlicesLaysOutAsTheWhole()
{
    // Counted a slice at a time: the pages counted so far lay out at once with footers
    // that say only "page n"; once counted, every page laid out from where it starts is
    // the page the whole layout makes, and a run of pages stops where its taker says.
    const QVector<store::SiteListRow> rows = wrappingRows(3000);
    const SiteListReport report = streamedReport(rows);
    const QVector<Page> whole = report.layout(report.layoutDevice());
    QVERIFY(whole.size() > 100);
    const auto pages = report.pages();
    int slices = 0;
    bool checkedMidway = false;
    while (!pages->count(std::chrono::milliseconds(1))) {
        ++slices;
        const int sofar = pages->pageCount();
        if (checkedMidway || sofar < 3)
            continue;
        checkedMidway = true;
        const Page last = pages->page(sofar - 1);
        QCOMPARE(itemsOf(last, Role::Footer).first()->text, QStringLiteral("صفحه %1").arg(sofar));
        QStringList cells;
        for (const Item *cell : itemsOf(last, Role::Cell))
            cells << cell->text;
        QStringList wholeCells;
        for (const Item *cell : itemsOf(whole[sofar - 1], Role::Cell))
            wholeCells << cell->text;
        QCOMPARE(cells, wholeCells);
        // Pages not counted yet are not laid out.
        int beyond = 0;
        QVERIFY(pages->layOut(sofar, [&](int, Page &&) { return ++beyond > 0; }));
        QCOMPARE(beyond, 0);
    }
    QVERIFY(slices > 1);
    QVERIFY(checkedMidway);
    QVERIFY(!pages->failed());
    QCOMPARE(pages->pageCount(), int(whole.size()));
    for (int p = 0; p < whole.size(); ++p)
        QCOMPARE(textsOf(pages->page(p)), textsOf(whole[p]));
    QVector<int> taken;
    QVERIFY(pages->layOut(int(whole.size()) / 2, [&](int index, Page &&) {
        taken.append(index);
        return taken.size() < 3;
    }));
    const int middle = int(whole.size()) / 2;
    QCOMPARE(taken, QVector<int>({middle, middle + 1, middle + 2}));
}

void TestReports::unreadRowsAreToldNotPrinted()
{
    // Rows that cannot be read: the preview says so once and keeps the pages it has; a
    // save then fails with its own message and leaves no file.
    const QVector<store::SiteListRow> rows = listRows(900);
    const SiteListReport report = streamedReport(rows, 700);
    const auto pages = report.pages();
    QVERIFY(pages->count(std::chrono::milliseconds(0)));
    QVERIFY(pages->failed());
    QVERIFY(!pages->layOut(0, [](int, Page &&) { return true; }));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    common::Dialogs::Script script;
    script.fileNames = {path};
    int shownPages = 0;
    script.onWindow = [&](QDialog &window) {
        if (window.objectName() == QStringLiteral("Print_Progress")) {
            QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
            return;
        }
        auto &preview = dynamic_cast<common::ReportPreviewWindow &>(window);
        QTRY_VERIFY(preview.counted());
        QTRY_COMPARE(script.of(common::Dialogs::Kind::Error).size(), 1);
        shownPages = preview.pageCount();
        QVERIFY(!preview.page(0).items.isEmpty());
        window.findChild<QAction *>(QStringLiteral("Save_Pdf"))->trigger();
    };
    QWidget owner;
    report.exec(&owner);
    QVERIFY(shownPages > 0);
    const auto errors = script.of(common::Dialogs::Kind::Error);
    QCOMPARE(errors.size(), 2);
    QVERIFY(errors[0].text.contains(QStringLiteral("گزارش")));
    QVERIFY(errors[1].text.contains(QStringLiteral("PDF")));
    QVERIFY(script.of(common::Dialogs::Kind::Information).isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestReports::cancelledSaveKeepsTheFileItWouldReplace()
{
    // The progress window counts, then names the page being written out of the whole;
    // cancelled, the file chosen keeps what it held. Saved again, it is replaced whole.
    const QVector<store::SiteListRow> rows = wrappingRows(6000);
    const SiteListReport report = streamedReport(rows);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the user's earlier file");
    }
    common::ReportPreviewWindow preview(report);
    QStringList labels;
    int progressWindows = 0;
    common::Dialogs::Script script;
    script.onWindow = [&](QDialog &window) {
        ++progressWindows;
        auto *label = window.findChild<QLabel *>(QStringLiteral("Label_Page"));
        QVERIFY(label);
        labels << label->text();
        if (progressWindows == 1) {
            const QRegularExpression writing(QStringLiteral("^نوشتن صفحه (\\d+) از (\\d+)$"));
            QTRY_VERIFY_WITH_TIMEOUT(writing.match(label->text()).hasMatch() &&
                                         writing.match(label->text()).captured(1).toInt() > 1,
                                     30000);
            const auto match = writing.match(label->text());
            labels << label->text();
            QCOMPARE(match.captured(2).toInt(), preview.pageCount());
            QVERIFY(preview.counted());
            window.findChild<QPushButton *>(QStringLiteral("Button_Cancel"))->click();
            QVERIFY(!window.isVisible());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 60000);
    };
    QVERIFY(!preview.savePdf(path));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("the user's earlier file"));
    kept.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.pdf"});
    QVERIFY(script.of(common::Dialogs::Kind::Error).isEmpty());
    // Opened before the count ended, the window said it was counting.
    QVERIFY2(labels.first().startsWith(QStringLiteral("شمارش صفحه ها")) ||
                 labels.first().startsWith(QStringLiteral("نوشتن صفحه 1 از")),
             qPrintable(labels.first()));

    QVERIFY(preview.savePdf(path));
    QCOMPARE(progressWindows, 2);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(kept.read(5).startsWith("%PDF"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.pdf"});
}

void TestReports::previewStepsThroughEveryPage()
{
    // Page by page from the first to the last, as the user steps: the box follows, the
    // buttons stop at the ends, and only a few painted pages are kept all the way.
    const SiteListReport report(wrappingRows(700));
    common::ReportPreviewWindow preview(report);
    preview.resize(900, 700);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(preview.counted());
    const int pages = preview.pageCount();
    QVERIFY(pages > 15);
    auto *box = preview.findChild<QSpinBox *>(QStringLiteral("Page_Number"));
    auto *first = preview.findChild<QAction *>(QStringLiteral("Page_First"));
    auto *previous = preview.findChild<QAction *>(QStringLiteral("Page_Previous"));
    auto *next = preview.findChild<QAction *>(QStringLiteral("Page_Next"));
    auto *last = preview.findChild<QAction *>(QStringLiteral("Page_Last"));
    QCOMPARE(box->maximum(), pages);
    QVERIFY(!first->isEnabled() && !previous->isEnabled());
    qsizetype mostKept = 0;
    for (int p = 1; p < pages; ++p) {
        next->trigger();
        QCOMPARE(preview.currentPage(), p);
        QCOMPARE(box->value(), p + 1);
        QApplication::processEvents();
        mostKept = qMax(mostKept, preview.keptImages());
    }
    QVERIFY(mostKept >= 2);
    QVERIFY(mostKept <= common::ReportPreviewWindow::KeptPages);
    QVERIFY(!next->isEnabled() && !last->isEnabled());
    QVERIFY(first->isEnabled() && previous->isEnabled());
    // The last page painted holds the last rows: ink near its top and far down.
    const QImage image = preview.pageImage(pages - 1, 600);
    int inkedRows = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ++inkedRows;
                break;
            }
    QVERIFY(inkedRows > 40);
    // A page typed in the box is shown; one past the end is the last.
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::number(pages / 2));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(preview.currentPage(), pages / 2 - 1);
    previous->trigger();
    QCOMPARE(preview.currentPage(), pages / 2 - 2);
    first->trigger();
    QCOMPARE(preview.currentPage(), 0);
    previous->trigger();
    QCOMPARE(preview.currentPage(), 0);
    preview.showPage(pages + 10);
    QCOMPARE(preview.currentPage(), pages - 1);
}

#ifdef ZORBIN_SCREENSHOTS
void TestReports::screenshots()
{
    const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
    if (folder.isEmpty())
        QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
    const auto shoot = [&](const QString &name) {
        QTest::qWait(400);
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QStringLiteral("%1/report-%2.png").arg(folder, name));
    };
    QVector<store::SiteListRow> rows = listRows(3000);
    for (int r = 0; r < rows.size(); r += 3)
        rows[r].texts[1] = QStringLiteral("http://www.example.ir/") +
                           QString(40 + r % 50, QLatin1Char('a')) + QStringLiteral("/x");
    const SiteListReport report(rows);
    common::ReportPreviewWindow preview(report);
    preview.resize(1100, 820);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    shoot(QStringLiteral("preview-first"));
    QTRY_VERIFY_WITH_TIMEOUT(preview.counted(), 60000);
    preview.showPage(preview.pageCount() - 1);
    shoot(QStringLiteral("preview-last"));
    // The progress window while the file is written; closing it stops the writing.
    QTemporaryDir dir;
    QTimer::singleShot(100, [&] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QStringLiteral("%1/report-progress.png").arg(folder));
        if (QWidget *progress = QApplication::activeModalWidget())
            progress->close();
    });
    QVERIFY(!preview.savePdf(dir.filePath(QStringLiteral("list.pdf"))));

    // Rows that could not all be read: the message over the pages read before.
    const SiteListReport unread = streamedReport(listRows(900), 700);
    common::ReportPreviewWindow broken(unread);
    broken.resize(1100, 820);
    bool told = false;
    QTimer::singleShot(1500, [&] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QStringLiteral("%1/report-unread.png").arg(folder));
        if (QWidget *box = QApplication::activeModalWidget()) {
            told = box != &broken;
            box->close();
        }
    });
    broken.show();
    QTRY_VERIFY_WITH_TIMEOUT(told, 10000);
}
#endif

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
