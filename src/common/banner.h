#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QWidget>

namespace zorbin::common {

// The strip across the top of a record window: an icon and the window's caption at one
// end, the program's name at the other.
class Banner : public QWidget
{
public:
    // `iconPath` is a resource such as common::iconPath(u"globe").
    Banner(const QString &iconPath, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_iconPath;
};

// The icon at `path` in one colour, at the usual sizes.
QIcon tintedIcon(const QString &path, const QColor &color);

} // namespace zorbin::common
