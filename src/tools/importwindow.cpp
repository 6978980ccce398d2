#include "tools/importwindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "store/vcardimport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zorbin::tools {

namespace {

using common::Dialogs;
using store::ImportOutcome;
using store::Refusal;

const QString kSitesCaption = QStringLiteral("ورود سايت ها از فايل CSV");
const QString kContactsCaption = QStringLiteral("ورود مخاطبين از فايل vCard");
const QString kOpenSites = QStringLiteral("انتخاب فايل CSV سايت ها");
const QString kOpenContacts = QStringLiteral("انتخاب فايل vCard مخاطبين");
const QString kSitesFilter = QStringLiteral("CSV (*.csv);;همه فايلها (*)");
const QString kContactsFilter = QStringLiteral("vCard (*.vcf *.vcard);;همه فايلها (*)");
const QString kFile = QStringLiteral("فايل: %1");
const QString kKnownLayout = QStringLiteral("اين فايل را %1 نوشته است؛ ستونها خودکار انتخاب شد.");
const QString kOtherLayout =
    QStringLiteral("قالب اين فايل شناخته نشد؛ ستون هر فيلد را خودتان انتخاب کنيد.");
const QString kColumns = QStringLiteral("ستونهاي فايل");
const QString kNone = QStringLiteral("(هيچ)");
const QString kHostTitle = QStringLiteral("(نام ميزبان آدرس)");
const QString kNumber = QStringLiteral("عنوان تکراري با شماره ثبت شود، مانند «عنوان (2)»");
const QString kSitesAdded = QStringLiteral("%1 سايت اضافه مي شود.");
const QString kSubjectsAdded = QStringLiteral("%1 موضوع تازه ساخته مي شود.");
const QString kContactsAdded = QStringLiteral("%1 مخاطب اضافه مي شود.");
const QString kPictures = QStringLiteral("%1 عکس همراه آنهاست.");
const QString kRefused = QStringLiteral("%1 رديف پذيرفته نمي شود:");
const QString kRefusedCards = QStringLiteral("%1 کارت پذيرفته نمي شود:");
const QString kMoreRefused = QStringLiteral("(فقط %1 مورد اول در ليست آمده است)");
const QString kNothingToAdd = QStringLiteral("هيچ رديفي براي ثبت نمانده است.");
const QString kLine = QStringLiteral("سطر");
const QString kReason = QStringLiteral("علت");
const QString kTitleOrName = QStringLiteral("عنوان يا نام");
const QString kSave = QStringLiteral("ثبت");
const QString kCancel = QStringLiteral("انصراف");
const QString kReading = QStringLiteral("فايل خوانده مي شود؛ لطفاً صبر کنيد...");
const QString kWriting = QStringLiteral("اطلاعات ثبت مي شود؛ لطفاً صبر کنيد...");
const QString kSitesDone = QStringLiteral("%1 سايت ثبت شد");
const QString kContactsDone = QStringLiteral("%1 مخاطب ثبت شد");

// The site fields a column can feed, in the order the window lists them.
const QString kFieldCaptions[] = {
    QStringLiteral(":عنوان سايت"), QStringLiteral(":آدرس سايت"), QStringLiteral(":نام کاربري"),
    QStringLiteral(":رمز عبور"),   QStringLiteral(":توضيحات"),   QStringLiteral(":موضوع (گروه)"),
};

int *columnOf(store::SiteColumns &c, int field)
{
    int *const fields[] = {&c.title, &c.address, &c.user, &c.password, &c.notes, &c.group};
    return fields[field];
}

QString layoutName(store::CsvLayout layout)
{
    switch (layout) {
    case store::CsvLayout::Firefox:
        return QStringLiteral("Firefox");
    case store::CsvLayout::Chromium:
        return QStringLiteral("Chrome، Edge، Brave يا Opera");
    case store::CsvLayout::KeePassXC:
        return QStringLiteral("KeePassXC");
    case store::CsvLayout::Other:
        break;
    }
    return {};
}

constexpr qint64 kProgressFrom = 4 * 1024 * 1024; // bytes

} // namespace

ImportWindow::ImportWindow(common::Context &context, Kind kind, QWidget *parent)
    : QDialog(parent), m_context(context), m_kind(kind)
{
    setObjectName(kind == Kind::Sites ? QStringLiteral("SiteImport")
                                      : QStringLiteral("ContactImport"));
    setWindowTitle(kind == Kind::Sites ? kSitesCaption : kContactsCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(common::windowFont());
    makeControls();
    layOut();
    connectControls();
}

void ImportWindow::makeControls()
{
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("FileLabel"));
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_file->setWordWrap(true);

    if (m_kind == Kind::Sites) {
        m_layout = new QLabel(this);
        m_layout->setObjectName(QStringLiteral("LayoutLabel"));
        m_layout->setWordWrap(true);
        m_columnsBox = new QGroupBox(kColumns, this);
        for (int i = 0; i < int(m_columns.size()); ++i) {
            m_columns[size_t(i)] = new QComboBox(m_columnsBox);
            m_columns[size_t(i)]->setObjectName(QStringLiteral("Column%1").arg(i + 1));
            m_columns[size_t(i)]->setAccessibleName(kFieldCaptions[i]);
        }
        m_number = new QCheckBox(kNumber, this);
        m_number->setObjectName(QStringLiteral("NumberTitles"));
    }

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("Summary"));
    m_summary->setWordWrap(true);

    m_refused = new QTableWidget(0, 3, this);
    m_refused->setObjectName(QStringLiteral("Refused"));
    m_refused->setHorizontalHeaderLabels({kLine, kReason, kTitleOrName});
    m_refused->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_refused->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_refused->verticalHeader()->hide();
    m_refused->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_refused->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_refused->horizontalHeader()->setStretchLastSection(true);

    m_save = new QPushButton(kSave, this);
    m_save->setObjectName(QStringLiteral("Button_Save"));
    m_cancel = new QPushButton(kCancel, this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
}

void ImportWindow::layOut()
{
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_file);
    if (m_kind == Kind::Sites) {
        outer->addWidget(m_layout);
        auto *form = new QFormLayout(m_columnsBox);
        for (int i = 0; i < int(m_columns.size()); ++i)
            form->addRow(kFieldCaptions[i], m_columns[size_t(i)]);
        outer->addWidget(m_columnsBox);
        outer->addWidget(m_number);
    }
    outer->addWidget(m_summary);
    outer->addWidget(m_refused, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);
    resize(560, m_kind == Kind::Sites ? 620 : 460);
}

void ImportWindow::connectControls()
{
    connect(m_save, &QPushButton::clicked, this, &ImportWindow::runImport);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (m_number)
        connect(m_number, &QCheckBox::toggled, this, &ImportWindow::columnsChanged);
    for (QComboBox *box : m_columns)
        if (box)
            connect(box, &QComboBox::currentIndexChanged, this, &ImportWindow::columnsChanged);
}

ImportWindow::~ImportWindow() = default;

bool ImportWindow::chooseFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString path = m_kind == Kind::Sites
                             ? Dialogs::openFileName(this, kOpenSites, folder, kSitesFilter)
                             : Dialogs::openFileName(this, kOpenContacts, folder, kContactsFilter);
    return !path.isEmpty() && load(path);
}

bool ImportWindow::load(const QString &path)
{
    m_path = path;
    m_file->setText(kFile.arg(QFileInfo(path).fileName()));
    if (m_kind == Kind::Contacts) {
        m_contacts =
            std::make_unique<store::VCardImport>(m_context.store, m_context.dataFolder, path);
        return showPreview();
    }
    m_sites = std::make_unique<store::SiteCsvImport>(m_context.store, path);
    if (const auto refused = m_sites->readHeader()) {
        Dialogs::warn(parentWidget(), store::failureMessage(*refused));
        return false;
    }
    buildSiteColumns();
    return showPreview();
}

void ImportWindow::buildSiteColumns()
{
    const store::CsvLayout layout = m_sites->layout();
    m_layout->setText(layout == store::CsvLayout::Other ? kOtherLayout
                                                        : kKnownLayout.arg(layoutName(layout)));
    for (int field = 0; field < int(m_columns.size()); ++field) {
        QComboBox *box = m_columns[size_t(field)];
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItem(field == 0 ? kHostTitle : kNone, -1);
        for (int at = 0; at < m_sites->headerNames().size(); ++at)
            box->addItem(m_sites->headerNames()[at], at);
        box->setCurrentIndex(box->findData(*columnOf(m_sites->columns, field)));
    }
}

void ImportWindow::columnsChanged()
{
    if (!m_sites)
        return;
    for (int field = 0; field < int(m_columns.size()); ++field)
        *columnOf(m_sites->columns, field) = m_columns[size_t(field)]->currentData().toInt();
    m_sites->numberDuplicates = m_number->isChecked();
    showPreview();
}

store::ImportProgress ImportWindow::progressFor(std::unique_ptr<QProgressDialog> &window,
                                                const QString &text)
{
    if (QFileInfo(m_path).size() < kProgressFrom)
        return {};
    return [this, &window, text](qint64 done, qint64 total) {
        if (!window) {
            window = std::make_unique<QProgressDialog>(this);
            window->setObjectName(QStringLiteral("ImportProgress"));
            window->setWindowTitle(windowTitle());
            window->setLabelText(text);
            window->setCancelButtonText(kCancel);
            window->setWindowModality(Qt::WindowModal);
            window->setMinimumDuration(0);
            window->setRange(0, 1000);
            window->show();
        }
        window->setValue(total > 0 ? int(done * 1000 / total) : 0);
        QCoreApplication::processEvents();
        return !window->wasCanceled();
    };
}

bool ImportWindow::showPreview()
{
    std::unique_ptr<QProgressDialog> window;
    const auto progress = progressFor(window, kReading);
    const store::ImportResult result =
        m_sites ? m_sites->preview(progress) : m_contacts->preview(progress);
    window.reset();
    m_refused->setRowCount(0);
    if (!result) {
        m_outcome = {};
        m_summary->setText(store::failureMessage(result.error()));
        m_save->setEnabled(false);
        // Only a file refused as a whole is reported in a box; a mapping that adds nothing
        // stays in the window for the user to change.
        if (result.error().kind != store::ImportFailure::Kind::NoColumns)
            Dialogs::warn(isVisible() ? this : parentWidget(),
                          store::failureMessage(result.error()));
        return m_sites && result.error().kind == store::ImportFailure::Kind::NoColumns;
    }
    m_outcome = *result;
    QStringList lines;
    if (m_sites) {
        lines.append(kSitesAdded.arg(m_outcome.added));
        if (m_outcome.subjectsAdded > 0)
            lines.append(kSubjectsAdded.arg(m_outcome.subjectsAdded));
    } else {
        lines.append(kContactsAdded.arg(m_outcome.added));
        if (m_outcome.pictures > 0)
            lines.append(kPictures.arg(m_outcome.pictures));
    }
    if (m_outcome.refused > 0) {
        QStringList reasons;
        for (int r = 0; r < int(Refusal::Count); ++r)
            if (const qint64 n = m_outcome.byReason[size_t(r)])
                reasons.append(QStringLiteral("%1: %2").arg(store::refusalText(Refusal(r))).arg(n));
        lines.append((m_sites ? kRefused : kRefusedCards).arg(m_outcome.refused) +
                     QStringLiteral(" ") + reasons.join(QStringLiteral("، ")));
        if (m_outcome.refused > m_outcome.refusals.size())
            lines.append(kMoreRefused.arg(m_outcome.refusals.size()));
    }
    if (m_outcome.added == 0)
        lines.append(kNothingToAdd);
    m_summary->setText(lines.join(u'\n'));
    m_refused->setRowCount(int(m_outcome.refusals.size()));
    for (int row = 0; row < m_outcome.refusals.size(); ++row) {
        const store::RefusedRow &r = m_outcome.refusals[row];
        m_refused->setItem(row, 0, new QTableWidgetItem(QString::number(r.line)));
        m_refused->setItem(row, 1, new QTableWidgetItem(store::refusalText(r.reason)));
        m_refused->setItem(row, 2, new QTableWidgetItem(r.text));
    }
    m_save->setEnabled(m_outcome.added > 0);
    return true;
}

void ImportWindow::runImport()
{
    std::unique_ptr<QProgressDialog> window;
    const auto progress = progressFor(window, kWriting);
    m_save->setEnabled(false);
    const store::ImportResult result = m_sites ? m_sites->run(progress) : m_contacts->run(progress);
    window.reset();
    if (!result) {
        Dialogs::error(this, store::failureMessage(result.error()));
        // The file may have changed: what it would do now is shown afresh.
        showPreview();
        return;
    }
    m_outcome = *result;
    Dialogs::inform(this, (m_sites ? kSitesDone : kContactsDone).arg(result->added));
    accept();
}

} // namespace zorbin::tools
