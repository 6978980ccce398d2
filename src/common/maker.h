#pragma once

#include <QString>

// The maker's details, shown in the about box, the status bar and the report footers.
namespace zorbin::common::maker {
inline QString designer()
{
    return QStringLiteral("طراح: گروه نرم‌افزاری زوربین");
}
// Written number first, like the about box's other lines: read left to right, the number
// keeps its digit order and the word stands at the right.
inline QString telephone()
{
    return QStringLiteral("021-00000000 :تلفن");
}
inline QString webAddress()
{
    return QStringLiteral("https://www.zorbin.example/");
}
inline QString email()
{
    return QStringLiteral("info@zorbin.example");
}
inline QString rights()
{
    return QStringLiteral(
        "کلیه حقوق این نرم‌افزار برای سازنده محفوظ است");
}
inline QString sponsor()
{
    return QStringLiteral("با حمایت جامعه کاربران زوربین");
}
// Follows "» Zorbin v2.0" in the status bar and the report footer.
inline QString notice()
{
    return QStringLiteral(
        "  -  نرم‌افزار رایگان زوربین، همیار اینترنت");
}
} // namespace zorbin::common::maker
