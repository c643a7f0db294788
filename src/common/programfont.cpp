#include "common/programfont.h"

#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

QFont programFont(int number)
{
    struct Spec
    {
        const char16_t* face;
        int points;
        bool bold;
    };
    static constexpr std::array<Spec, 6> specs{{
            {u"Arial", 12, true},
            {u"Arial", 8, false},
            {u"Arial", 8, true},
            {u"Arial", 16, true},
            {u"lucida Console", 12, true},
            {u"Arial", 400, true},
    }};
    const Spec& spec = specs.at(static_cast<std::size_t>(number - 1));
    QFont font(QString::fromUtf16(spec.face));
    font.setPixelSize(static_cast<int>(std::lround(spec.points * 96.0 / 72.0)));
    font.setBold(spec.bold);
    if (number == 5) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    return font;
}

QFont interfaceFont()
{
    QFont font(u"Arial"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}
