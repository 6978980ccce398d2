#pragma once

#include "common/context.h"

#include <QDialog>

class QLabel;

namespace zorbin::tools {

// How many sites, subjects and contacts the database holds, counted when the window opens.
class StatisticsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit StatisticsWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

private:
    QLabel *m_sites = nullptr;      // Label6
    QLabel *m_categories = nullptr; // Label7
    QLabel *m_contacts = nullptr;   // Label8
};

} // namespace zorbin::tools
