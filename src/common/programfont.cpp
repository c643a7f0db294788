#include "common/programfont.h"

#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

QFont programFont(int number)
{
    struct FontDescription
    {
        const char16_t* face;
        int points;
        bool bold;
    };
    static constexpr std::array<FontDescription, 6> fonts{{
            {u"Arial", 12, true},
            {u"Arial", 8, false},
            {u"Arial", 8, true},
            {u"Arial", 16, true},
            {u"lucida Console", 12, true},
            {u"Arial", 400, true},
    }};
    const FontDescription& description = fonts.at(static_cast<std::size_t>(number - 1));
    QFont font(QString::fromUtf16(description.face));
    font.setPixelSize(static_cast<int>(std::lround(description.points * 96.0 / 72.0)));
    font.setBold(description.bold);
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
