#include "Glyphs.h"

#include <QFontDatabase>
#include <QHash>
#include <QRawFont>
#include <map>
#include <stdexcept>

namespace {

struct FontFile {
    Font font;
    const char* path;
    const char* package;
    const char* familyHint;  // picks one family out of a collection
};

const FontFile kFontFiles[] = {
    {Font::Sans, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "fonts-dejavu-core", ""},
    {Font::SansBold, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", "fonts-dejavu-core", ""},
    {Font::Symbols, "/usr/share/fonts/truetype/noto/NotoSansSymbols-Regular.ttf", "fonts-noto-core", ""},
    {Font::Symbols2, "/usr/share/fonts/truetype/noto/NotoSansSymbols2-Regular.ttf", "fonts-noto-core", ""},
    {Font::Cjk, "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc", "fonts-noto-cjk", "TC"},
    {Font::CjkSans, "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc", "fonts-noto-cjk", "TC"},
    {Font::Emoji, "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf", "fonts-noto-color-emoji", ""},
};

std::map<Font, QFont>& Loaded() {
    static std::map<Font, QFont> fonts;
    return fonts;
}

QFont FontAt(Font font, double pixelSize) {
    QFont f = Loaded().at(font);
    f.setPixelSize(int(pixelSize + 0.5));
    return f;
}

}  // namespace

void LoadFonts() {
    for (const FontFile& file : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(file.path));
        if (id < 0)
            throw std::runtime_error(std::string("cannot load font ") + file.path + " (install the Debian package " +
                                     file.package + ")");
        QString family;
        for (const QString& name : QFontDatabase::applicationFontFamilies(id))
            if (family.isEmpty() || (*file.familyHint && name.endsWith(QString::fromUtf8(file.familyHint))))
                family = name;
        QFont f(family);
        f.setBold(file.font == Font::SansBold || file.font == Font::Cjk || file.font == Font::CjkSans);
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoSubpixelAntialias));
        Loaded()[file.font] = f;
    }
}

QPainterPath CentredText(Font font, const QString& text, double pixelSize) {
    // Outlines are taken at a large size and scaled, so hinting plays no part.
    const double big = 200.0;
    QPainterPath path;
    path.addText(0, 0, FontAt(font, big), text);
    const QRectF r = path.boundingRect();
    QTransform t;
    t.scale(pixelSize / big, pixelSize / big);
    t.translate(-r.center().x(), -r.center().y());
    return t.map(path);
}

QPainterPath FitPath(const QPainterPath& path, const QRectF& box) {
    const QRectF r = path.boundingRect();
    const double s = std::min(box.width() / r.width(), box.height() / r.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-r.center().x(), -r.center().y());
    return t.map(path);
}

QImage EmojiImage(const QString& text) {
    QImage canvas(320, 320, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setFont(FontAt(Font::Emoji, 109));
        p.drawText(QRect(0, 0, 320, 320), Qt::AlignCenter, text);
    }
    const QImage inked = CroppedToInk(canvas);
    if (inked.isNull()) throw std::runtime_error("emoji font drew nothing for " + text.toStdString());
    return inked;
}

QImage CroppedToInk(const QImage& image) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 8) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return {};
    return image.copy(left, top, right - left + 1, bottom - top + 1);
}

void DrawFitted(QPainter& p, const QImage& image, const QRectF& box) {
    // Scaled to the size it takes on the device, so a painter drawing at a
    // larger scale gets as many pixels as it draws.
    const double k = p.transform().m11();
    const double s = std::min(box.width() / image.width(), box.height() / image.height()) * k;
    const int w = std::max(1, int(image.width() * s + 0.5));
    const int h = std::max(1, int(image.height() * s + 0.5));
    // Scaled premultiplied: a straight-alpha picture would be converted back
    // after scaling, dividing by alpha with the processor's approximate
    // reciprocal, which rounds differently on different processors.
    const QImage small = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                             .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QPointF centre = p.transform().map(box.center());
    p.save();
    p.resetTransform();
    p.drawImage(QPointF(centre.x() - w / 2.0, centre.y() - h / 2.0).toPoint(), small);
    p.restore();
}

namespace {

// Each glyph: rows of '#' and '.', all five the same width.
const QHash<QChar, QStringList>& PixelGlyphs() {
    static const QHash<QChar, QStringList> glyphs = {
        {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
        {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", ".##", "..#", "###"}},
        {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
        {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
        {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
        {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'E', {"###", "#..", "##.", "#..", "###"}},
        {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
        {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}}, {'P', {"##.", "#.#", "##.", "#..", "#.."}},
        {'R', {"##.", "#.#", "##.", "#.#", "#.#"}}, {'S', {".##", "#..", ".#.", "..#", "##."}},
        {'T', {"###", ".#.", ".#.", ".#.", ".#."}}, {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
        {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
    };
    return glyphs;
}

}  // namespace

int PixelTextWidth(const QString& text) {
    int w = 0;
    for (QChar c : text) w += int(PixelGlyphs().value(c).value(0).size()) + 1;
    return std::max(0, w - 1);
}

void DrawPixelText(QImage& image, int x, int y, const QString& text, QRgb colour) {
    for (QChar c : text) {
        const QStringList rows = PixelGlyphs().value(c);
        if (rows.isEmpty()) throw std::runtime_error("no pixel glyph for " + QString(c).toStdString());
        for (int r = 0; r < rows.size(); ++r)
            for (int k = 0; k < rows[r].size(); ++k)
                if (rows[r][k] == '#') image.setPixel(x + k, y + r, colour);
        x += int(rows[0].size()) + 1;
    }
}
