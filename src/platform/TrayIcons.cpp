#include "TrayIcons.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <cmath>
#include <cstring>

namespace qel::icons {

namespace {

// Drawn on a grid of 16 by 16 units, scaled to the size asked for. Shapes that can be straight sit
// on whole units, so they stay sharp at 16, 32 and 64 pixels.
const QColor kInk(0x23, 0x3a, 0x5e);      // outlines
const QColor kCard(0xff, 0xfb, 0xef);     // the index card
const QColor kCardBack(0xb9, 0xd1, 0xee); // the card behind it
const QColor kPerson(0x2f, 0x6f, 0xc6);   // the contact's portrait
const QColor kLines(0x8c, 0x9d, 0xb5);    // the lines of writing
const QColor kStar(0xff, 0xc1, 0x07);     // special day
const QColor kStarEdge(0xa6, 0x6a, 0x00);
const QColor kError(0xd9, 0x30, 0x25);
const QColor kSync(0x1e, 0x8e, 0x3e);

struct Look {
    bool error = false;
    bool specialDay = false;
    int syncFrame = 0; // 0 not syncing, 1 or 2 the frame
};

Look lookOf(int picture) {
    Look look;
    switch (picture) {
    case 2:
        look.error = true;
        break;
    case 3:
        look.specialDay = true;
        break;
    case 4:
        look.error = look.specialDay = true;
        break;
    case 5:
    case 6:
        look.syncFrame = picture - 4;
        break;
    case 7:
    case 8:
        look.syncFrame = picture - 6;
        look.specialDay = true;
        break;
    default:
        break;
    }
    return look;
}

// A shape outlined `line` units thick on the inside: the outline's colour first, the fill inset.
void fillOutlined(QPainter& p, const QPainterPath& outer, const QPainterPath& inner, const QColor& fill) {
    p.fillPath(outer, kInk);
    p.fillPath(inner, fill);
}

QPainterPath rectPath(const QRectF& rect) {
    QPainterPath path;
    path.addRect(rect);
    return path;
}

// The card file: a card behind, and in front an index card with its tab, a portrait and lines.
void drawCards(QPainter& p, qreal line, bool portrait) {
    const QRectF back(4, 1, 11, 9);
    fillOutlined(p, rectPath(back), rectPath(back.adjusted(line, line, -line, -line)), kCardBack);

    const QRectF card(1, 4, 14, 11);
    const QRectF tab(2, 2, 5, 3);
    const QPainterPath outer = rectPath(card).united(rectPath(tab));
    const QPainterPath inner = rectPath(card.adjusted(line, line, -line, -line))
                                   .united(rectPath(tab.adjusted(line, line, -line, 1)));
    fillOutlined(p, outer, inner, kCard);

    // The portrait: a head and the shoulders, cut off by the card's edge.
    if (portrait) {
        p.save();
        p.setClipRect(card.adjusted(line, line, -line, -line));
        p.setPen(Qt::NoPen);
        p.setBrush(kPerson);
        p.drawEllipse(QPointF(5, 8), 1.75, 1.75);
        p.drawEllipse(QRectF(2.25, 10.5, 5.5, 6));
        p.restore();
    }

    // Lines of writing: the name, the number, the address.
    p.fillRect(QRectF(9, 7, 4, 1), kLines);
    p.fillRect(QRectF(9, 9, 4, 1), kLines);
    p.fillRect(QRectF(9, 11, 3, 1), kLines);
}

// A five-pointed star at the top right: a special day is coming up.
void drawStar(QPainter& p, qreal line) {
    const QPointF centre(12.5, 3.5);
    const qreal outer = 3.4;
    const qreal inner = 1.45;
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? inner : outer;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
    }
    p.setPen(QPen(kStarEdge, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kStar);
    p.drawPolygon(star);
}

// A round badge at the bottom right, ringed in white so it stands off the card.
void drawBadge(QPainter& p, const QColor& colour, qreal line) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8, 8, 8, 8));
    p.setBrush(colour);
    p.drawEllipse(QRectF(8, 8, 8, 8).adjusted(line, line, -line, -line));
}

void drawError(QPainter& p, qreal line) {
    drawBadge(p, kError, line);
    // An exclamation mark.
    p.fillRect(QRectF(11, 9.5, 2, 3.5), Qt::white);
    p.fillRect(QRectF(11, 13.5, 2, 1.25), Qt::white);
}

// Two arrows chasing each other round the badge; the second frame is the first turned a quarter,
// so showing the frames in turn makes them spin.
void drawSync(QPainter& p, qreal line, int frame) {
    drawBadge(p, kSync, line);
    const QPointF centre(12, 12);
    const qreal radius = 2.1;
    const qreal width = 1.1;
    p.save();
    p.translate(centre);
    p.rotate(frame == 2 ? 90 : 0);
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF circle(-radius, -radius, 2 * radius, 2 * radius);
    for (const int start : {20, 200}) {
        // Qt's angles run counter-clockwise in sixteenths of a degree.
        p.drawArc(circle, start * 16, 115 * 16);
        const qreal end = (start + 115) * M_PI / 180;
        const QPointF tip(std::cos(end) * radius, -std::sin(end) * radius);
        const QPointF along(-std::sin(end), -std::cos(end)); // the way the arrow runs
        const QPointF out(std::cos(end), -std::sin(end));
        QPolygonF head;
        head << tip + along * 1.6 << tip + out * 1.45 << tip - out * 1.45;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(head);
        p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
    }
    p.restore();
}

// The small sizes are drawn pixel by pixel: there a curve smoothed over a few pixels is a blur.
// '.' is left as it is; every other character is a colour of `palette`. With `outline` set, the
// pixels next to the shape (four ways) are painted in it first, so the shape stands off what is
// behind it.
void drawPixels(QPainter& p, QPoint origin, std::initializer_list<const char*> rows,
                std::initializer_list<std::pair<char, QColor>> palette, const QColor& outline = QColor()) {
    const auto inShape = [&](int x, int y) {
        if (y < 0 || y >= int(rows.size()))
            return false;
        const char* row = rows.begin()[y];
        return x >= 0 && x < int(std::strlen(row)) && row[x] != '.';
    };
    const int height = int(rows.size());
    const int width = int(std::strlen(*rows.begin()));
    if (outline.isValid())
        for (int y = -1; y <= height; ++y)
            for (int x = -1; x <= width; ++x)
                if (!inShape(x, y) &&
                    (inShape(x - 1, y) || inShape(x + 1, y) || inShape(x, y - 1) || inShape(x, y + 1)))
                    p.fillRect(QRect(origin + QPoint(x, y), QSize(1, 1)), outline);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (const auto& [key, colour] : palette)
                if (rows.begin()[y][x] == key)
                    p.fillRect(QRect(origin + QPoint(x, y), QSize(1, 1)), colour);
}

void drawSmallPortrait(QPainter& p) {
    drawPixels(p, QPoint(2, 6),
               {"..XX..", //
                ".XXXX.", //
                ".XXXX.", //
                "..XX..", //
                "......", //
                ".XXXX.", //
                "XXXXXX", //
                "XXXXXX"},
               {{'X', kPerson}});
}

void drawSmallStar(QPainter& p) {
    drawPixels(p, QPoint(9, 0),
               {"...Y...", //
                "..YYY..", //
                "YYYYYYY", //
                ".YYYYY.", //
                "..YYY..", //
                ".YY.YY.", //
                ".Y...Y."},
               {{'Y', kStar}}, kStarEdge);
}

void drawSmallError(QPainter& p) {
    drawPixels(p, QPoint(8, 8),
               {"..RRRR..", //
                ".RRWWRR.", //
                "RRRWWRRR", //
                "RRRWWRRR", //
                "RRRWWRRR", //
                "RRRRRRRR", //
                ".RRWWRR.", //
                "..RRRR.."},
               {{'R', kError}, {'W', Qt::white}}, Qt::white);
}

// An arrow each way; the second frame is the first turned a quarter, so that shown in turn they spin.
void drawSmallSync(QPainter& p, int frame) {
    p.save();
    if (frame == 2) {
        p.translate(12, 12); // the badge's centre: a quarter turn keeps the pixels on the grid
        p.rotate(90);
        p.translate(-12, -12);
    }
    drawPixels(p, QPoint(8, 8),
               {"..GGGG..", //
                ".GGGGWG.", //
                "GWWWWWWG", //
                "GGGGGWGG", //
                "GGWGGGGG", //
                "GWWWWWWG", //
                ".GWGGGG.", //
                "..GGGG.."},
               {{'G', kSync}, {'W', Qt::white}}, Qt::white);
    p.restore();
}

QPixmap drawPicture(int picture, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = size / 16.0;
    p.scale(scale, scale);
    // Outlines one pixel wide up to 32 pixels, two at 64: in units of the grid.
    const qreal line = std::max(1.0, size / 32.0) / scale;

    const Look look = lookOf(picture);
    const bool small = size < 24;
    drawCards(p, line, !small);
    if (small) {
        p.setRenderHint(QPainter::Antialiasing, false);
        drawSmallPortrait(p);
        if (look.specialDay)
            drawSmallStar(p);
        if (look.error)
            drawSmallError(p);
        if (look.syncFrame)
            drawSmallSync(p, look.syncFrame);
    } else {
        if (look.specialDay)
            drawStar(p, line);
        if (look.error)
            drawError(p, line);
        if (look.syncFrame)
            drawSync(p, line, look.syncFrame);
    }
    p.end();
    return pixmap;
}

QIcon makeIcon(int picture, std::initializer_list<int> sizes) {
    QIcon icon;
    for (const int size : sizes)
        icon.addPixmap(drawPicture(picture, size));
    return icon;
}

} // namespace

QIcon trayPicture(int n) {
    if (n < 1 || n > kTrayPictureCount)
        return {};
    // Made once and kept to the end of the process, so that a picture keeps its identity (and is
    // never destroyed after the application object).
    static const auto* const pictures = [] {
        auto* made = new std::array<QIcon, kTrayPictureCount>;
        for (int i = 0; i < kTrayPictureCount; ++i)
            (*made)[size_t(i)] = makeIcon(i + 1, {16, 32, 64});
        return made;
    }();
    return (*pictures)[size_t(n - 1)];
}

QIcon programIcon() {
    static const QIcon* const icon = new QIcon(makeIcon(1, {16, 24, 32, 48, 64, 128, 256}));
    return *icon;
}

QStringList writeTrayPictures(const QString& folder, QString* error, int size) {
    QStringList written;
    const auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return written;
    };
    if (error)
        error->clear();
    if (!QDir().mkpath(folder))
        return failed(QStringLiteral("cannot create the folder %1").arg(folder));
    for (int n = 1; n <= kTrayPictureCount; ++n) {
        const QString file = QDir(folder).filePath(QStringLiteral("icon-%1.png").arg(n));
        if (!drawPicture(n, size).save(file, "PNG"))
            return failed(QStringLiteral("cannot write %1").arg(file));
        written << file;
    }
    return written;
}

} // namespace qel::icons
