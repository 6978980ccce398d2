#pragma once

#include <QDialog>

// The converter's guide: the three steps in words.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    explicit Form2(QWidget *owner);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
