#pragma once

#include "common/context.h"
#include "store/result.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace zorbin::sites {

// The subject list: add, rename and delete subjects.
class SubjectsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SubjectsWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

    // True from a click on the edit button until the next completed save.
    bool editing() const { return m_editing; }

public Q_SLOTS:
    void save();
    void edit();
    void remove();

private:
    void makeEntry(QWidget *frame);
    void makeGrid(QWidget *frame);
    void makeButtons(QWidget *frame);
    void layOut(QWidget *frame);
    void connectControls();
    // Re-reads all subjects into the grid and makes its first row current.
    void reload();
    // Shows only this subject in the grid, as while its title is being changed.
    void showOnly(qint64 id, const QString &title);
    void addRow(qint64 id, const QString &title);
    // The ID in the first column of the grid's current row; the first row when none is
    // current. Nothing when the grid is empty.
    std::optional<qint64> currentId() const;
    void finishSave();
    void focusText(bool selectAll);
    void storeFailed(const QString &message, const zorbin::store::StoreError &error);

    zorbin::common::Context &m_context;
    bool m_editing = false;
    qint64 m_editedId = 0;

    QLabel *m_label6 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_save = nullptr;
    QTableView *m_grid = nullptr;
    QStandardItemModel *m_model = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QLabel *m_label1 = nullptr;
};

} // namespace zorbin::sites
