#include "tools/backuprestorewindow.h"

#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "core/backuptext.h"
#include "store/messages.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zorbin::tools {

using zorbin::common::Dialogs;

namespace {

const QString kBackupTab = QStringLiteral(" پشتيبان گيري ");
const QString kRestoreTab = QStringLiteral(" بازگرداني ");
const QString kBackupCaption = QStringLiteral("پشتيبان گيري از اطلاعات");
const QString kRestoreCaption = QStringLiteral("بازگرداني اطلاعات");
const QString kNameLabel = QStringLiteral(":نام بانك");
const QString kPathLabel = QStringLiteral(":آدرس");
const QString kBackupName = QStringLiteral("ZBDB");
const QString kRestoreName = QStringLiteral("ZBDB.dbb");
const QString kBackupButton = QStringLiteral("تهيه پشتيبان");
const QString kRestoreButton = QStringLiteral("بازگرداني بانک");
const QString kSaveTitle = QStringLiteral("پشتيبان گيري");
const QString kOpenTitle = QStringLiteral("بازگرداني بانک");
const QString kSaveFilter = QStringLiteral("Backup Database (*.dbb)");
const QString kOpenFilter = QStringLiteral("Restore Database (*.dbb)");
const QString kChooseTarget = QStringLiteral("انتخاب مسير پشتيبان");
const QString kChooseBackup = QStringLiteral("انتخاب فايل پشتيبان");

const QString kNoBackupPath = QStringLiteral("لطفا مسير تهيه نسخه پشتيبان را وارد کنيد");
const QString kBackupFailed = QStringLiteral("   :خطا در اجراي برنامه");
const QString kNoRestorePath = QStringLiteral("لطفا مسير فايل پشتيبان را انتخاب کنيد");
const QString kNoSuchFile = QStringLiteral("لطفا مسير درست را وارد كنيد");
const QString kRestoreFailed = QStringLiteral("  : خطا در برنامه ");
const QString kRestored = QStringLiteral("بازيابي اطلاعات انجام شد");
const QString kKeptCopy = QStringLiteral("اطلاعات قبلي در اين فايل نگه داشته شد:");
const QString kRestoring =
    QStringLiteral("فايل پشتيبان بررسي و بازگرداني مي شود؛ لطفا چند لحظه صبر كنيد...");
const QString kRestart = QStringLiteral("جهت يکپارچه سازي، نرم افزار را مجدداً اجرا نماييد");
const QString kRefused =
    QStringLiteral("این پرونده بازگردانده نشد و اطلاعات فعلی دست نخورده ماند.");
const QString kProgramTitle = QStringLiteral("Zorbin");

// The file dialogs open in the user's home folder.
QString startFolder()
{
    return QDir::homePath();
}

QLabel *label(const QString &name, const QString &text)
{
    auto *l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

QLineEdit *pathBox(const QString &name)
{
    auto *box = new QLineEdit;
    box->setObjectName(name);
    // A path reads left to right; no length limit cuts a long one.
    box->setLayoutDirection(Qt::LeftToRight);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setAccessibleName(kPathLabel);
    box->setMinimumWidth(280);
    return box;
}

QPushButton *chooseButton(const QString &name, const QString &accessibleName)
{
    auto *b = new QPushButton(zorbin::common::icon(u"folder2-open"), QString());
    b->setObjectName(name);
    b->setAccessibleName(accessibleName);
    b->setToolTip(accessibleName);
    b->setAutoDefault(false);
    return b;
}

} // namespace

BackupRestoreWindow::BackupRestoreWindow(zorbin::common::Context &context, Mode mode,
                                         QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode)
{
    setObjectName(QStringLiteral("Bank"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(zorbin::common::windowFont());

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("XTab1"));
    m_tabs->addTab(makeBackupPage(), kBackupTab);
    m_tabs->addTab(makeRestorePage(), kRestoreTab);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_tabs);

    connect(m_chooseTarget, &QPushButton::clicked, this, &BackupRestoreWindow::chooseBackupTarget);
    connect(m_chooseBackup, &QPushButton::clicked, this,
            &BackupRestoreWindow::chooseBackupToRestore);
    connect(m_backup, &QPushButton::clicked, this, &BackupRestoreWindow::backup);
    connect(m_restore, &QPushButton::clicked, this, &BackupRestoreWindow::restore);

    // The mode's tab is active, the other cannot be reached; Enter in the path box runs the
    // mode's command.
    const bool backupMode = mode == Mode::Backup;
    m_tabs->setCurrentIndex(backupMode ? 0 : 1);
    m_tabs->setTabEnabled(backupMode ? 1 : 0, false);
    setWindowTitle(backupMode ? kBackupCaption : kRestoreCaption);
    m_backup->setDefault(backupMode);
    m_restore->setDefault(!backupMode);
    (backupMode ? m_backupPath : m_restorePath)->setFocus();
}

QWidget *BackupRestoreWindow::makePage(const QString &iconName, QLabel *nameCaption, QLabel *name,
                                       QLabel *pathCaption, QLineEdit *path, QPushButton *choose,
                                       QPushButton *command)
{
    auto *page = new QWidget;
    zorbin::common::keepVisualOrder(nameCaption);
    zorbin::common::keepVisualOrder(pathCaption);
    pathCaption->setBuddy(path);
    name->setLayoutDirection(Qt::LeftToRight);
    name->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    command->setMinimumWidth(120);

    auto *picture = new QLabel;
    picture->setPixmap(zorbin::common::icon(iconName).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);

    auto *grid = new QGridLayout;
    grid->addWidget(nameCaption, 0, 0);
    grid->addWidget(name, 0, 1, 1, 2);
    grid->addWidget(pathCaption, 1, 0);
    grid->addWidget(path, 1, 1);
    grid->addWidget(choose, 1, 2);
    grid->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command);

    auto *fields = new QVBoxLayout;
    fields->addLayout(grid);
    fields->addStretch(1);
    fields->addLayout(buttons);

    auto *row = new QHBoxLayout(page);
    row->addWidget(picture);
    row->addLayout(fields, 1);
    return page;
}

QWidget *BackupRestoreWindow::makeBackupPage()
{
    m_backupPath = pathBox(QStringLiteral("Text1"));
    m_chooseTarget = chooseButton(QStringLiteral("Button_Add1"), kChooseTarget);
    m_backup = new QPushButton(kBackupButton);
    m_backup->setObjectName(QStringLiteral("Button_Backup"));
    return makePage(QStringLiteral("database-down"), label(QStringLiteral("Label1"), kNameLabel),
                    label(QStringLiteral("Label2"), kBackupName),
                    label(QStringLiteral("Label6"), kPathLabel), m_backupPath, m_chooseTarget,
                    m_backup);
}

QWidget *BackupRestoreWindow::makeRestorePage()
{
    m_restorePath = pathBox(QStringLiteral("Text2"));
    m_chooseBackup = chooseButton(QStringLiteral("Button_Add2"), kChooseBackup);
    m_restore = new QPushButton(kRestoreButton);
    m_restore->setObjectName(QStringLiteral("Button_Restore"));
    return makePage(QStringLiteral("database-up"), label(QStringLiteral("Label3"), kNameLabel),
                    label(QStringLiteral("Label4"), kRestoreName),
                    label(QStringLiteral("Label5"), kPathLabel), m_restorePath, m_chooseBackup,
                    m_restore);
}

void BackupRestoreWindow::chooseBackupTarget()
{
    const QString chosen = Dialogs::saveFileName(
        this, kSaveTitle, QDir(startFolder()).filePath(kBackupName), kSaveFilter);
    if (!chosen.isEmpty())
        m_backupPath->setText(chosen);
    // The suggested name coming back unchanged means nothing was chosen.
    if (m_backupPath->text() == kBackupName)
        m_backupPath->clear();
    m_backupPath->setFocus();
}

void BackupRestoreWindow::chooseBackupToRestore()
{
    const QString chosen = Dialogs::openFileName(
        this, kOpenTitle, QDir(startFolder()).filePath(kRestoreName), kOpenFilter);
    if (!chosen.isEmpty())
        m_restorePath->setText(chosen);
    if (m_restorePath->text() == kRestoreName)
        m_restorePath->clear();
    m_restorePath->setFocus();
}

void BackupRestoreWindow::backup()
{
    const QString path = m_backupPath->text();
    if (path.isEmpty()) {
        Dialogs::warn(this, kNoBackupPath);
        return;
    }
    // The path is used as typed: no extension is added.
    if (const auto written = m_context.store.backupTo(path); !written) {
        Dialogs::titled(this, Dialogs::Kind::Information, kProgramTitle,
                        written.error().detail + kBackupFailed);
        m_backupPath->setFocus();
        return;
    }
    Dialogs::titled(this, Dialogs::Kind::Information, kProgramTitle,
                    zorbin::core::backupDoneMessage());
    m_backupPath->clear();
    accept();
}

void BackupRestoreWindow::restore()
{
    const QString path = m_restorePath->text();
    if (path.isEmpty()) {
        Dialogs::warn(this, kNoRestorePath);
        return;
    }
    const QFileInfo chosen(path);
    if (!chosen.exists() || chosen.isDir()) {
        Dialogs::inform(this, kNoSuchFile);
        return;
    }

    // Copying and checking a large backup takes a while: after a moment a progress window
    // says so, and the program's windows keep drawing meanwhile.
    std::unique_ptr<QProgressDialog> progress;
    QElapsedTimer started;
    QElapsedTimer sincePump;
    started.start();
    sincePump.start();
    const auto working = [&] {
        if (!progress && started.elapsed() >= 300) {
            progress = std::make_unique<QProgressDialog>(this);
            progress->setObjectName(QStringLiteral("RestoreProgress"));
            progress->setWindowTitle(kProgramTitle);
            progress->setLabelText(kRestoring);
            progress->setCancelButton(nullptr);
            progress->setRange(0, 0);
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        if (progress && sincePump.elapsed() >= 30) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePump.restart();
        }
    };
    const auto done = m_context.store.restoreFrom(path, working);
    progress.reset();
    if (!done) {
        if (done.error().isOpenError()) {
            // Not a Zorbin database of this version: the reason, and that nothing changed.
            Dialogs::error(this, zorbin::store::openErrorMessage(done.error()) +
                                     QStringLiteral("\r\n") + kRefused);
        } else if (done.error().kind == zorbin::store::StoreError::Kind::NotFound) {
            Dialogs::inform(this, kNoSuchFile); // gone since the check above
        } else {
            Dialogs::error(this, done.error().detail + kRestoreFailed);
        }
        m_restorePath->setFocus();
        return;
    }

    m_restored = true;
    // The replaced data is still there: the message says where.
    Dialogs::inform(this, kRestored + QStringLiteral("\r\n") + kKeptCopy + QStringLiteral("\r\n") +
                              QDir::toNativeSeparators(done->safetyCopy));
    m_restorePath->clear();
    Dialogs::warn(this, kRestart);
    // The program ends at once; the next start opens the restored database.
    accept();
    QCoreApplication::exit(0);
}

} // namespace zorbin::tools
