#pragma once

#include <QDialog>

namespace zorbin::converter {

// The converter's guide: the three steps in words.
class ConverterGuide : public QDialog
{
    Q_OBJECT
public:
    explicit ConverterGuide(QWidget *owner);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace zorbin::converter
