#pragma once

#include "common/context.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace zorbin::tools {

// Backup of the database to a file the user chooses, or its restore from one. The opener
// picks the mode: its tab is the active one and the other tab cannot be reached.
class BackupRestoreWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Backup, Restore };

    BackupRestoreWindow(zorbin::common::Context &context, Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    // True once a restore replaced the database: the program is ending and nothing may be
    // written through the store any more.
    bool restored() const { return m_restored; }

public Q_SLOTS:
    void chooseBackupTarget();
    void chooseBackupToRestore();
    void backup();
    void restore();

private:
    QWidget *makeBackupPage();
    QWidget *makeRestorePage();
    // One page: the picture, the database name, the path box with its choose button and
    // the page's command.
    QWidget *makePage(const QString &iconName, QLabel *nameCaption, QLabel *name,
                      QLabel *pathCaption, QLineEdit *path, QPushButton *choose,
                      QPushButton *command);

    zorbin::common::Context &m_context;
    Mode m_mode;
    bool m_restored = false;

    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_backupPath = nullptr;  // Text1
    QLineEdit *m_restorePath = nullptr; // Text2
    QPushButton *m_chooseTarget = nullptr;
    QPushButton *m_chooseBackup = nullptr;
    QPushButton *m_backup = nullptr;
    QPushButton *m_restore = nullptr;
};

} // namespace zorbin::tools
