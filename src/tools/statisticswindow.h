#pragma once

#include "common/context.h"

#include <QDialog>
#include <array>

class QLabel;

namespace zorbin::tools {

// How many sites, subjects and contacts the database holds, counted when the window opens.
class StatisticsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit StatisticsWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

private:
    void makeControls();
    void layOut();
    // Shows the three counts, or tells the user why they could not be read.
    void readCounts(zorbin::common::Context &context);

    QLabel *m_heading = nullptr; // Label1
    QLabel *m_picture = nullptr;
    std::array<QLabel *, 3> m_captions{}; // Label2 to Label4
    QLabel *m_sites = nullptr;            // Label6
    QLabel *m_categories = nullptr;       // Label7
    QLabel *m_contacts = nullptr;         // Label8
};

} // namespace zorbin::tools
