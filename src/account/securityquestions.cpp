#include "account/securityquestions.h"

#include "common/appearance.h"
#include "common/icons.h"

#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace zorbin::account {

const QStringList &securityQuestions()
{
    static const QStringList questions{
        QStringLiteral("1. كجا همسرتون رو ملاقات كرديد؟"),
        QStringLiteral("2. نام مسن ترين فرد فاميل دورتون چيه؟"),
        QStringLiteral("3. ماه عسل خود را كجا به سر برده ايد؟"),
        QStringLiteral("4. تابستان هاي بچگي خود را كجا سپري كرده ايد؟"),
        QStringLiteral("5. غذاي مورد علاقه بچگيتون چي بود؟"),
        QStringLiteral("6. نام اولين رئيس كاريتون چي بود؟"),
        QStringLiteral("7. نام اولين دست آموز يا شاگردتون چي بود؟"),
        QStringLiteral("8. نام كتاب مورد علاقتون چيه؟"),
    };
    return questions;
}

QComboBox *makeQuestionBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("Combo1"));
    // A question of the user's own may be typed too; it is not added to the list.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    box->addItems(securityQuestions());
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    box->setMinimumContentsLength(30);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setAccessibleName(QStringLiteral("سوال امنيتي"));
    return box;
}

QLineEdit *makeAnswerBox(QWidget *parent)
{
    auto *answer = new QLineEdit(parent);
    answer->setObjectName(QStringLiteral("Text1"));
    answer->setMaxLength(std::numeric_limits<int>::max());
    answer->setAccessibleName(QStringLiteral("جواب"));
    return answer;
}

void setUpAccountWindow(QDialog *window, const QString &name, const QString &caption)
{
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setWindowIcon(zorbin::common::icon(u"key"));
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setFont(zorbin::common::windowFont());
}

void leaveEnterToBoxes(std::initializer_list<QPushButton *> buttons)
{
    for (QPushButton *b : buttons) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

} // namespace zorbin::account
