#pragma once

#include "common/context.h"
#include "store/importoutcome.h"
#include "store/sitecsvimport.h"

#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QTableWidget;

namespace zorbin::store {
class VCardImport;
}

namespace zorbin::tools {

// Brings sites in from a CSV file of logins, or contacts from a vCard file. Before
// anything is written it shows what the import will do: how many rows are added, how many
// are refused and why, with their line numbers. For a site file the user can map the
// columns and choose to number repeated titles; each change previews again. "ثبت" then
// imports in one transaction, all or nothing, with a progress window for a large file.
class ImportWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Sites, Contacts };

    ImportWindow(common::Context &context, Kind kind, QWidget *parent = nullptr);
    ~ImportWindow() override;

    // Asks for the file through the file dialog and previews it. False when the user
    // cancelled or the file was refused (the user was told why); the window is then not
    // to be shown.
    bool chooseFile();
    // Previews `path`; false when it is refused, the message shown.
    bool load(const QString &path);

    const store::ImportOutcome &outcome() const { return m_outcome; }

private:
    void makeControls();
    void layOut();
    void connectControls();
    void buildSiteColumns();
    void columnsChanged();
    bool showPreview();
    void runImport();
    // A progress window for files larger than a few megabytes, shown only while it runs.
    store::ImportProgress progressFor(std::unique_ptr<QProgressDialog> &window,
                                      const QString &text);

    common::Context &m_context;
    Kind m_kind;
    QString m_path;
    std::unique_ptr<store::SiteCsvImport> m_sites;
    std::unique_ptr<store::VCardImport> m_contacts;
    store::ImportOutcome m_outcome;

    QLabel *m_file = nullptr;
    QLabel *m_layout = nullptr;
    QGroupBox *m_columnsBox = nullptr;
    std::array<QComboBox *, 6> m_columns{};
    QCheckBox *m_number = nullptr;
    QLabel *m_summary = nullptr;
    QTableWidget *m_refused = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace zorbin::tools
