#include "BoxLook.h"

#include <QFontDatabase>
#include <QIcon>
#include <QWidget>

void DressBox(QWidget& box) {
    box.setWindowIcon(QIcon(QStringLiteral(":/pictures/app.png")));
    box.setFont(SansSerifFont(8.25, false));
}

QFont SansSerifFont(qreal points, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}
