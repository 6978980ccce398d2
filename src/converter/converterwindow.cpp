#include "converter/converterwindow.h"

#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/icons.h"
#include "common/maker.h"
#include "converter/converterguide.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <climits>

namespace zorbin::converter {

using zorbin::common::Dialogs;

namespace {

const QString kAnalysisCompleted = QStringLiteral("Analysis Database Completed.");
const QString kOpenInitialName = QStringLiteral("Zorbin-DB.dbb");
const QString kSaveInitialName = QStringLiteral("ZBDB");

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *pathBox(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(INT_MAX);
    box->setAccessibleName(accessibleName);
    box->setMinimumWidth(320);
    return box;
}

QLabel *statusLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("..."), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The items of the File menu; Exit (no handler) closes the window.
struct MenuItem
{
    const char *name;
    const char *caption;
    void (ConverterWindow::*handler)();
};
const std::array<MenuItem, 4> kMenuItems{{{"M_Guide", "Guide", &ConverterWindow::showGuide},
                                          {"M_About", "About", &ConverterWindow::showAbout},
                                          {"M_Site", "Website", &ConverterWindow::openWebsite},
                                          {"M_Exit", "Exit", nullptr}}};

} // namespace

ConverterWindow::ConverterWindow(const QString &dataFolder, QWidget *parent)
    : QMainWindow(parent), m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Convert Database for Zorbin (of v1.0 to v2.0)"));
    setLayoutDirection(Qt::LeftToRight);

    makeControls();
    layOut();
    connectControls();
    setState(State::ChoosingSource);
    m_browseOpen->setFocus();
}

void ConverterWindow::makeControls()
{
    m_menu = menuBar()->addMenu(QStringLiteral(" File "));
    m_menu->setObjectName(QStringLiteral("mnu1"));
    for (size_t i = 0; i < kMenuItems.size(); ++i) {
        m_menuActions[i] = m_menu->addAction(QString::fromLatin1(kMenuItems[i].caption));
        m_menuActions[i]->setObjectName(QString::fromLatin1(kMenuItems[i].name));
    }

    m_central = new QWidget(this);
    m_logo = new QLabel(m_central);
    m_logo->setObjectName(QStringLiteral("Image1"));
    m_logo->setPixmap(zorbin::common::icon(u"database-up").pixmap(40, 40));
    m_logo->setAccessibleName(QStringLiteral("Zorbin"));
    m_credit = new QLabel(
        QStringLiteral("Zorbin software group  -  %1").arg(zorbin::common::maker::webAddress()),
        m_central);
    m_credit->setObjectName(QStringLiteral("Label2"));
    m_credit->setTextFormat(Qt::PlainText);

    m_step1 = new QGroupBox(QStringLiteral(" Step 1  (Open Backup) "), m_central);
    m_sourcePath =
        pathBox(QStringLiteral("Text1"), QStringLiteral("Path of the version 1.0 backup"), m_step1);
    m_browseOpen = button(QStringLiteral("BrowseOpen"), QStringLiteral("Browse..."), m_step1);
    m_analyse = button(QStringLiteral("AnalysisDB"), QStringLiteral("Analysis Database"), m_step1);
    m_analysisStatus = statusLabel(QStringLiteral("Label3"), m_step1);

    m_step2 = new QGroupBox(QStringLiteral(" Step 2  (Convert) "), m_central);
    m_convert =
        button(QStringLiteral("ConvertDB"), QStringLiteral("Start Convert Database"), m_step2);

    m_step3 = new QGroupBox(QStringLiteral(" Step 3  (Save Backup) "), m_central);
    m_backupPath =
        pathBox(QStringLiteral("Text2"), QStringLiteral("Path of the backup to save"), m_step3);
    m_browseSave = button(QStringLiteral("BrowseSave"), QStringLiteral("Browse..."), m_step3);
    m_save = button(QStringLiteral("SaveDB"), QStringLiteral("Save Database"), m_step3);
    m_saveStatus = statusLabel(QStringLiteral("Label1"), m_step3);
}

void ConverterWindow::layOut()
{
    auto *layout = new QVBoxLayout(m_central);

    auto *header = new QHBoxLayout;
    header->addWidget(m_logo);
    header->addWidget(m_credit, 1);
    layout->addLayout(header);

    auto *grid1 = new QGridLayout(m_step1);
    grid1->addWidget(m_sourcePath, 0, 0);
    grid1->addWidget(m_browseOpen, 0, 1);
    grid1->addWidget(m_analysisStatus, 1, 0);
    grid1->addWidget(m_analyse, 1, 1);
    layout->addWidget(m_step1);

    auto *row2 = new QHBoxLayout(m_step2);
    row2->addStretch(1);
    row2->addWidget(m_convert);
    layout->addWidget(m_step2);

    auto *grid3 = new QGridLayout(m_step3);
    grid3->addWidget(m_backupPath, 0, 0);
    grid3->addWidget(m_browseSave, 0, 1);
    grid3->addWidget(m_saveStatus, 1, 0);
    grid3->addWidget(m_save, 1, 1);
    layout->addWidget(m_step3);
    layout->addStretch(1);
    // The buttons beside the path boxes share one width, so that the two "Browse..."
    // buttons (and the boxes before them) line up.
    const QList<QPushButton *> column{m_browseOpen, m_analyse, m_browseSave, m_save};
    int width = 0;
    for (QPushButton *b : column)
        width = std::max(width, b->sizeHint().width());
    for (QPushButton *b : column)
        b->setMinimumWidth(width);
    setCentralWidget(m_central);
}

void ConverterWindow::connectControls()
{
    for (size_t i = 0; i < kMenuItems.size(); ++i) {
        if (kMenuItems[i].handler)
            connect(m_menuActions[i], &QAction::triggered, this, kMenuItems[i].handler);
        else
            connect(m_menuActions[i], &QAction::triggered, this, &QWidget::close);
    }
    connect(m_browseOpen, &QPushButton::clicked, this, &ConverterWindow::browseOpen);
    connect(m_analyse, &QPushButton::clicked, this, &ConverterWindow::analyseDatabase);
    connect(m_convert, &QPushButton::clicked, this, &ConverterWindow::convertDatabase);
    connect(m_browseSave, &QPushButton::clicked, this, &ConverterWindow::browseSave);
    connect(m_save, &QPushButton::clicked, this, &ConverterWindow::saveDatabase);
}

ConverterWindow::~ConverterWindow() = default;

void ConverterWindow::setState(State state)
{
    m_state = state;
    const bool choosing = state == State::ChoosingSource;
    m_sourcePath->setEnabled(choosing);
    m_browseOpen->setEnabled(choosing);
    m_analyse->setEnabled(choosing);
    m_convert->setEnabled(state == State::Analysed);
    const bool converted = state == State::Converted;
    m_backupPath->setEnabled(converted);
    m_browseSave->setEnabled(converted);
    m_save->setEnabled(converted);
}

QString ConverterWindow::aboutText()
{
    return QStringList{QStringLiteral("Convert Database for Zorbin"),
                       QStringLiteral("of v1.0 to v2.0"),
                       QString(25, QLatin1Char('-')),
                       QStringLiteral("Programmer: Zorbin software group"),
                       QStringLiteral("E-mail: %1").arg(zorbin::common::maker::email()),
                       QStringLiteral("Website: %1").arg(zorbin::common::maker::webAddress()),
                       QStringLiteral("Zorbin software group 2007-2014")}
        .join(QStringLiteral("\r\n"));
}

void ConverterWindow::browseOpen()
{
    const QString path =
        Dialogs::openFileName(this, QStringLiteral("وارد کردن فايل پشتيبان نسخه 1 زوربين"),
                              QDir::home().filePath(kOpenInitialName),
                              QStringLiteral("Zorbin Backup(*.mdb,*.dbb) (*.mdb *.dbb)"));
    // A cancelled dialog leaves the box empty.
    m_sourcePath->setText(path == kOpenInitialName ? QString() : path);
}

void ConverterWindow::analyseDatabase()
{
    if (m_state != State::ChoosingSource)
        return;
    const QString path = m_sourcePath->text();
    if (path.isEmpty()) {
        Dialogs::titled(this, Dialogs::Kind::Exclamation, QStringLiteral("Error"),
                        QStringLiteral("Invalid Address for Analysis Database !  "));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto analysis = zorbin::converter::analyse(path, m_dataFolder);
    QApplication::restoreOverrideCursor();
    if (!analysis) {
        // The window stays in its first state, so another file can be chosen.
        Dialogs::titled(this, Dialogs::Kind::Error, QStringLiteral("Error"), analysis.error().text);
        return;
    }
    m_analysis = std::move(*analysis);
    m_analysisStatus->setText(kAnalysisCompleted);
    setState(State::Analysed);
}

void ConverterWindow::convertDatabase()
{
    if (m_analysisStatus->text() != kAnalysisCompleted || m_state != State::Analysed || !m_analysis)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto counts = zorbin::converter::convert(*m_analysis);
    QApplication::restoreOverrideCursor();
    if (!counts) {
        // Nothing was added; the conversion can be tried again.
        Dialogs::titled(this, Dialogs::Kind::Error, QStringLiteral("Error"), counts.error().text);
        return;
    }
    Dialogs::titled(this, Dialogs::Kind::Information, QStringLiteral("Done"),
                    QStringLiteral("Convert Database Completed.  "));
    setState(State::Converted);
}

void ConverterWindow::browseSave()
{
    QString path = Dialogs::saveFileName(this, QStringLiteral("پشتيبان گيري"),
                                         QDir::home().filePath(kSaveInitialName),
                                         QStringLiteral("Zorbin v2.0 Backup File (*.dbb)"));
    if (path == kSaveInitialName)
        path.clear();
    // The filter offers backup files; a name typed without an extension gets theirs.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".dbb");
    m_backupPath->setText(path);
}

void ConverterWindow::saveDatabase()
{
    if (m_state != State::Converted || !m_analysis)
        return;
    const QString path = m_backupPath->text();
    if (path.isEmpty()) {
        Dialogs::titled(this, Dialogs::Kind::Exclamation, QStringLiteral("Error"),
                        QStringLiteral("Invalid Address for Save Database !  "));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto saved = zorbin::converter::saveCopy(m_analysis->targetPath, path);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        // No success message; the program stays open for another path.
        Dialogs::titled(this, Dialogs::Kind::Error, QStringLiteral("Error"), saved.error().text);
        return;
    }
    m_saveStatus->setText(QStringLiteral("Save Database Completed."));
    Dialogs::titled(this, Dialogs::Kind::Information, QStringLiteral("Done"),
                    QStringLiteral("Save Database Completed.  "));
    setState(State::Ended);
    close();
}

void ConverterWindow::showGuide()
{
    ConverterGuide guide(this);
    Dialogs::exec(guide);
}

void ConverterWindow::showAbout()
{
    Dialogs::titled(this, Dialogs::Kind::Information, QString(), aboutText());
}

void ConverterWindow::openWebsite()
{
    zorbin::common::desktop::openAddress(zorbin::common::maker::webAddress());
}

void ConverterWindow::closeEvent(QCloseEvent *event)
{
    // Closing ends the program: the databases are let go at once.
    setState(State::Ended);
    m_analysis.reset();
    QMainWindow::closeEvent(event);
}

} // namespace zorbin::converter
