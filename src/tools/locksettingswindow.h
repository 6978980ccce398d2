#pragma once

#include "common/context.h"

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace zorbin::tools {

// Sets after how many minutes without input the program locks itself (0: never).
class LockSettingsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit LockSettingsWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

    // Stores the minutes; the window closes as accepted, or stays open after the message
    // when the settings file cannot be written.
    void save();

private:
    zorbin::common::Context &m_context;
    QSpinBox *m_minutes = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace zorbin::tools
