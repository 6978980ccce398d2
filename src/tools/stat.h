#pragma once

#include "common/context.h"

#include <QDialog>

class QLabel;

// How many sites, subjects and contacts the database holds, counted when the window opens.
class Stat : public QDialog
{
    Q_OBJECT
public:
    explicit Stat(zorbin::ui::Context &context, QWidget *parent = nullptr);

private:
    QLabel *m_sites = nullptr;      // Label6
    QLabel *m_categories = nullptr; // Label7
    QLabel *m_contacts = nullptr;   // Label8
};
