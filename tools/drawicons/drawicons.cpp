// Draws every picture of the program: toolbar and status-bar images (16 x 15), the seek-bar knob and
// groove, and the program icon in eight sizes. Run with QT_QPA_PLATFORM=offscreen:
//   drawicons <resources dir> [contact-sheet.png]
// The small images are drawn on the pixel grid: fills use whole pixels and 1 px strokes sit on pixel
// centres, so they stay sharp at 1x. Curves are antialiased.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QStyle>
#include <QStyleOption>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

namespace {

QColor rgb(unsigned v, int alpha = 255)
{
    QColor c{QRgb(v)};
    c.setAlpha(alpha);
    return c;
}

// The palette shared by all pictures.
const QColor kInk = rgb(0x26364a);          // letters, strong outlines
const QColor kPaperLine = rgb(0x66788e);    // outline of sheets
const QColor kPaper = rgb(0xffffff);
const QColor kPaperShade = rgb(0xe6ecf3);
const QColor kTextLine = rgb(0x9aabbf);     // text lines drawn on sheets
const QColor kBlueLight = rgb(0x6a9ad2);
const QColor kBlue = rgb(0x3d6fa8);
const QColor kBlueDark = rgb(0x1f4673);
const QColor kFolderLine = rgb(0x9a6a14);
const QColor kFolderBack = rgb(0xdba640);
const QColor kFolderFrontTop = rgb(0xfbdc8a);
const QColor kFolderFrontBottom = rgb(0xeebd50);
const QColor kRed = rgb(0xcc4a3c);
const QColor kRedDark = rgb(0x8a2a20);
const QColor kMetal = rgb(0xd3dae3);
const QColor kMetalDark = rgb(0x76849a);

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QLinearGradient vertical(qreal y0, qreal y1, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void fill(QPainter &p, int x, int y, int w, int h, const QBrush &brush)
{
    p.fillRect(QRect(x, y, w, h), brush);
}

void dot(QPainter &p, int x, int y, const QColor &c)
{
    p.fillRect(QRect(x, y, 1, 1), c);
}

// A 1 px frame on the border pixels of the rectangle.
void frame(QPainter &p, int x, int y, int w, int h, const QColor &c)
{
    p.save();
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(x + 0.5, y + 0.5, w - 1, h - 1));
    p.restore();
}

void box(QPainter &p, int x, int y, int w, int h, const QBrush &inside, const QColor &line)
{
    fill(p, x, y, w, h, inside);
    frame(p, x, y, w, h, line);
}

// Polygon through pixel centres, filled and outlined with a 1 px pen.
void poly(QPainter &p, std::initializer_list<QPointF> pts, const QBrush &inside, const QColor &line,
          qreal width = 1)
{
    QPolygonF polygon;
    for (const QPointF &pt : pts)
        polygon << pt;
    p.save();
    p.setPen(line.isValid() ? QPen(line, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin) : QPen(Qt::NoPen));
    p.setBrush(inside);
    p.drawPolygon(polygon);
    p.restore();
}

// Hand-placed pixels: one string per row, each character looked up in the palette; others stay clear.
void pixels(QPainter &p, int x, int y, std::initializer_list<const char *> rows,
            const std::map<char, QColor> &palette)
{
    int row = 0;
    for (const char *line : rows) {
        for (int col = 0; line[col] != 0; ++col) {
            const auto it = palette.find(line[col]);
            if (it != palette.end())
                dot(p, x + col, y + row, it->second);
        }
        ++row;
    }
}

// ---- shared parts ------------------------------------------------------------------------------

// A sheet with a folded top-right corner covering pixels x..x+w-1, y..y+h-1.
void sheet(QPainter &p, int x, int y, int w, int h, int foldSize, int lines, int lineStart)
{
    const qreal l = x + 0.5, t = y + 0.5, r = x + w - 0.5, b = y + h - 0.5;
    poly(p, {{l, t}, {r - foldSize, t}, {r, t + foldSize}, {r, b}, {l, b}},
         vertical(y, y + h, kPaper, kPaperShade), kPaperLine);
    if (foldSize > 0)
        poly(p, {{r - foldSize, t}, {r - foldSize, t + foldSize}, {r, t + foldSize}}, rgb(0xd5dee9), kPaperLine);
    for (int i = 0; i < lines; ++i) {
        const int ly = lineStart + 2 * i;
        const int lw = (i % 3 == 2) ? w - 6 : w - 4;
        fill(p, x + 2, ly, lw, 1, kTextLine);
    }
}

void folderClosed(QPainter &p, int x, int y, int w, int h)
{
    const qreal l = x + 0.5, t = y + 0.5, r = x + w - 0.5, b = y + h - 0.5;
    // Tab on the left, then the body.
    poly(p, {{l, t + 1}, {l + 1, t}, {l + 4, t}, {l + 6, t + 2}, {r, t + 2}, {r, b}, {l, b}},
         vertical(y, y + h, kFolderFrontTop, kFolderFrontBottom), kFolderLine);
    fill(p, x + 1, y + 3, w - 2, 1, rgb(0xfff1c8));
    fill(p, x + 1, y + 4, w - 2, 1, rgb(0xd9a13a));
}

void folderOpen(QPainter &p, int x, int y, int w, int h)
{
    const qreal l = x + 0.5, t = y + 0.5, r = x + w - 0.5, b = y + h - 0.5;
    const qreal back = r - 2;  // the back panel ends short of the front flap's top-right corner
    poly(p, {{l, t + 1}, {l + 1, t}, {l + 4, t}, {l + 6, t + 2}, {back, t + 2}, {back, b}, {l, b}}, kFolderBack,
         kFolderLine);
    const qreal flapTop = t + std::round(h * 0.36);
    poly(p, {{l + 3, flapTop}, {r, flapTop}, {r - 3, b}, {l, b}},
         vertical(flapTop, b, kFolderFrontTop, kFolderFrontBottom), kFolderLine);
}

// Floppy disk: metal shutter at the top, white label at the bottom.
void floppy(QPainter &p, int x, int y, int w, int h)
{
    const qreal l = x + 0.5, t = y + 0.5, r = x + w - 0.5, b = y + h - 0.5;
    poly(p, {{l, t}, {r - 2, t}, {r, t + 2}, {r, b}, {l, b}}, vertical(y, y + h, kBlueLight, kBlue), kBlueDark);
    const int sw = w - 6;                     // shutter width
    const int sh = (h >= 14) ? 5 : 4;         // shutter height
    fill(p, x + 3, y + 1, sw, sh, vertical(y + 1, y + 1 + sh, rgb(0xeef2f6), rgb(0xbcc6d2)));
    fill(p, x + 3, y + sh, sw, 1, rgb(0x8c9aad));
    fill(p, x + 3 + sw - 3, y + 2, 2, sh - 2, kBlueDark);  // the slot
    const int lt = y + h - ((h >= 14) ? 7 : 6);             // label top
    fill(p, x + 2, lt, w - 4, y + h - 1 - lt, kPaper);
    fill(p, x + 2, lt, w - 4, 1, rgb(0xc9d5e3));
    for (int ly = lt + 2; ly < y + h - 2; ly += 2)
        fill(p, x + 4, ly, w - 8, 1, kTextLine);
}

// Pencil lying along the local x axis with its point at the origin, length `len`, thickness `th`.
void pencil(QPainter &p, qreal len, qreal th, qreal outline)
{
    const qreal hw = th / 2;
    const qreal cone = th * 1.15;
    const QPen pen(rgb(0x5a3a10), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(Qt::NoPen);
    // Body in two tones so the roundness shows.
    p.setBrush(rgb(0xf7b844));
    p.drawRect(QRectF(cone, -hw, len - cone - th * 0.8, hw));
    p.setBrush(rgb(0xdc8a1c));
    p.drawRect(QRectF(cone, 0, len - cone - th * 0.8, hw));
    // Eraser end.
    p.setBrush(rgb(0xe88a8a));
    p.drawRect(QRectF(len - th * 0.8, -hw, th * 0.8, th));
    p.setBrush(rgb(0xb0b8c4));
    p.drawRect(QRectF(len - th * 0.8 - th * 0.3, -hw, th * 0.3, th));
    // Sharpened wood and lead.
    QPolygonF wood;
    wood << QPointF(0, 0) << QPointF(cone, -hw) << QPointF(cone, hw);
    p.setBrush(rgb(0xf5dcae));
    p.drawPolygon(wood);
    QPolygonF lead;
    lead << QPointF(0, 0) << QPointF(cone * 0.4, -hw * 0.4) << QPointF(cone * 0.4, hw * 0.4);
    p.setBrush(rgb(0x2a2a2a));
    p.drawPolygon(lead);
    // Outline of the whole pencil.
    QPolygonF shape;
    shape << QPointF(0, 0) << QPointF(cone, -hw) << QPointF(len, -hw) << QPointF(len, hw) << QPointF(cone, hw);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(shape);
}

QBrush transportFill(int y0, int y1)
{
    return vertical(y0, y1, rgb(0x78a6da), rgb(0x2f609a));
}
const QColor kTransportLine = rgb(0x1b3f69);

// A right-pointing triangle with its tip at (tipX, cy) and its base at baseX, half height hh.
void triangle(QPainter &p, qreal baseX, qreal tipX, qreal cy, qreal hh)
{
    poly(p, {{baseX, cy - hh}, {tipX, cy}, {baseX, cy + hh}}, transportFill(int(cy - hh), int(cy + hh + 1)),
         kTransportLine);
}

// Curved arrow of undo and redo; drawn pointing right (redo), mirrored for undo.
void curvedArrow(QPainter &p)
{
    QPainterPath shaft;
    shaft.moveTo(2.6, 13.0);
    shaft.cubicTo(1.6, 8.0, 4.0, 5.5, 9.0, 5.5);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlueDark, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shaft);
    p.setPen(QPen(kBlueLight, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shaft);
    p.restore();
    poly(p, {{8.5, 0.5}, {14.5, 5.5}, {8.5, 10.5}}, vertical(0, 11, kBlueLight, kBlue), kBlueDark);
}

// Clock or stopwatch face centred at (cx, cy) with radius r; the caller adds the hands.
void clock(QPainter &p, qreal cx, qreal cy, qreal r, const QColor &rim)
{
    p.save();
    QRadialGradient face(cx - r * 0.3, cy - r * 0.3, r * 1.6);
    face.setColorAt(0, kPaper);
    face.setColorAt(1, rgb(0xdfe7f1));
    p.setBrush(face);
    p.setPen(QPen(rim, 1));
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.restore();
}

// ---- toolbar 1 ---------------------------------------------------------------------------------

void drawNew(QPainter &p)
{
    sheet(p, 3, 0, 11, 15, 4, 0, 0);
    // A sparkle at the top-left corner says "new".
    pixels(p, 0, 0,
           {
               "..o..",
               "..Y..",
               "oYWYo",
               "..Y..",
               "..o..",
           },
           {{'Y', rgb(0xf2a91f)}, {'o', rgb(0xf2a91f, 150)}, {'W', rgb(0xfff3c0)}});
}

void drawOpen(QPainter &p)
{
    folderOpen(p, 0, 2, 16, 12);
}

void drawSave(QPainter &p)
{
    floppy(p, 1, 0, 14, 15);
}

void drawSaveAs(QPainter &p)
{
    floppy(p, 0, 0, 12, 12);
    p.save();
    p.translate(5.2, 14.4);
    p.rotate(-45);
    pencil(p, 13.0, 3.6, 1.0);
    p.restore();
}

void drawRedo(QPainter &p)
{
    curvedArrow(p);
}

void drawUndo(QPainter &p)
{
    p.save();
    p.translate(16, 0);
    p.scale(-1, 1);
    curvedArrow(p);
    p.restore();
}

void drawCut(QPainter &p)
{
    p.save();
    // Blades crossing at the pivot.
    const QColor bladeEdge = rgb(0x4b5868);
    const QColor blade = rgb(0xc6cfda);
    for (int side = 0; side < 2; ++side) {
        const qreal s = side == 0 ? 1 : -1;
        QPainterPath b;
        b.moveTo(8 - s * 4.3, 0.6);
        b.lineTo(8 + s * 1.6, 9.3);
        b.lineTo(8 + s * 0.3, 10.2);
        b.lineTo(8 - s * 5.2, 1.6);
        b.closeSubpath();
        p.setPen(QPen(bladeEdge, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(blade);
        p.drawPath(b);
    }
    dot(p, 7, 7, kInk);
    dot(p, 8, 7, kInk);
    // Handles: two red rings.
    p.setBrush(Qt::NoBrush);
    for (const qreal cx : {4.0, 12.0}) {
        p.setPen(QPen(kRedDark, 3.0));
        p.drawEllipse(QPointF(cx, 11.6), 2.3, 2.3);
        p.setPen(QPen(kRed, 1.4));
        p.drawEllipse(QPointF(cx, 11.6), 2.3, 2.3);
    }
    p.restore();
}

void drawCopy(QPainter &p)
{
    sheet(p, 1, 0, 9, 11, 0, 3, 3);
    sheet(p, 6, 4, 9, 11, 0, 3, 7);
}

void drawPaste(QPainter &p)
{
    // Board.
    poly(p, {{1.5, 1.5}, {13.5, 1.5}, {13.5, 14.5}, {1.5, 14.5}}, vertical(1, 15, rgb(0xd9a462), rgb(0xb27a36)),
         rgb(0x6e4818));
    // Paper on it.
    box(p, 3, 4, 9, 10, vertical(4, 14, kPaper, kPaperShade), kPaperLine);
    fill(p, 5, 7, 5, 1, kTextLine);
    fill(p, 5, 9, 5, 1, kTextLine);
    fill(p, 5, 11, 3, 1, kTextLine);
    // Clip.
    box(p, 4, 0, 7, 4, vertical(0, 4, rgb(0xf0f3f7), rgb(0xa8b4c3)), kMetalDark);
    fill(p, 6, 1, 3, 1, kMetalDark);
}

void drawOpenAudio(QPainter &p)
{
    folderOpen(p, 0, 5, 13, 10);
    // A pair of beamed eighth notes above the folder, with a light rim where they cross it.
    QPainterPath note;
    note.addRect(QRectF(9, 0, 6, 2));   // beam
    note.addRect(QRectF(9, 0, 1, 9));   // stems
    note.addRect(QRectF(14, 0, 1, 8));
    note.addEllipse(QPointF(8.0, 9.2), 2.0, 1.6);
    note.addEllipse(QPointF(13.0, 8.2), 2.0, 1.6);
    note.setFillRule(Qt::WindingFill);
    p.save();
    p.setPen(QPen(rgb(0xffffff, 230), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(note.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(kBlueDark);
    p.drawPath(note);
    p.restore();
}

void drawPlay(QPainter &p)
{
    triangle(p, 4.5, 13.5, 7.5, 6.0);
}

void drawPause(QPainter &p)
{
    box(p, 3, 2, 4, 11, transportFill(2, 13), kTransportLine);
    box(p, 9, 2, 4, 11, transportFill(2, 13), kTransportLine);
}

void drawRewind(QPainter &p)
{
    p.save();
    p.translate(16, 0);
    p.scale(-1, 1);
    triangle(p, 1.5, 8.5, 7.5, 5.0);
    triangle(p, 7.5, 14.5, 7.5, 5.0);
    p.restore();
}

void drawForward(QPainter &p)
{
    triangle(p, 1.5, 8.5, 7.5, 5.0);
    triangle(p, 7.5, 14.5, 7.5, 5.0);
}

// ---- toolbar 2 ---------------------------------------------------------------------------------

const std::map<char, QColor> kLetter = {{'X', kInk}, {'x', rgb(0x26364a, 110)}, {'u', kBlue}};

void drawBold(QPainter &p)
{
    pixels(p, 3, 2,
           {
               "XXXXXXXx.",
               "XXXXXXXXx",
               "XXX...XXX",
               "XXX...XXX",
               "XXXXXXXX.",
               "XXXXXXXXx",
               "XXX...XXX",
               "XXX...XXX",
               "XXX...XXX",
               "XXXXXXXXx",
               "XXXXXXXx.",
           },
           kLetter);
}

void drawItalic(QPainter &p)
{
    pixels(p, 3, 2,
           {
               "...xXXXXXX",
               ".....XXXx.",
               ".....XXX..",
               "....xXXx..",
               "....XXX...",
               "....XXX...",
               "...xXXx...",
               "...XXX....",
               "..xXXx....",
               "..XXX.....",
               "XXXXXXx...",
           },
           kLetter);
}

void drawUnderline(QPainter &p)
{
    pixels(p, 3, 1,
           {
               "XXX...XXX",
               "XXX...XXX",
               "XXX...XXX",
               "XXX...XXX",
               "XXX...XXX",
               "XXX...XXX",
               "XXX...XXX",
               "xXXx.xXXx",
               ".XXXXXXX.",
               "..xXXXx..",
           },
           kLetter);
    fill(p, 1, 12, 14, 2, kBlue);
}

void drawDateTime(QPainter &p)
{
    // Calendar sheet with a blue header and rings.
    box(p, 0, 1, 13, 13, vertical(1, 14, kPaper, kPaperShade), kPaperLine);
    fill(p, 1, 2, 11, 3, vertical(2, 5, kBlueLight, kBlue));
    fill(p, 0, 5, 13, 1, kPaperLine);
    pixels(p, 3, 0, {"X....X", "X....X", "X....X"}, {{'X', kInk}});
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            dot(p, 2 + 2 * col, 7 + 2 * row, (row == 0 && col == 1) ? kRed : kTextLine);
    // Clock in the corner.
    clock(p, 11.5, 10.5, 4.0, kBlueDark);
    fill(p, 11, 8, 1, 3, kInk);
    fill(p, 12, 10, 2, 1, kInk);
}

void drawSeconds(QPainter &p)
{
    // 【 and 】 around a stopwatch: the position marker the button inserts.
    pixels(p, 0, 1,
           {
               "XXX",
               "XXx",
               "XX.",
               "Xx.",
               "X..",
               "X..",
               "X..",
               "X..",
               "X..",
               "Xx.",
               "XX.",
               "XXx",
               "XXX",
           },
           kLetter);
    pixels(p, 13, 1,
           {
               "XXX",
               "xXX",
               ".XX",
               ".xX",
               "..X",
               "..X",
               "..X",
               "..X",
               "..X",
               ".xX",
               ".XX",
               "xXX",
               "XXX",
           },
           kLetter);
    fill(p, 7, 1, 2, 2, kBlueDark);  // crown
    fill(p, 6, 0, 4, 1, kBlueDark);
    clock(p, 8.0, 8.0, 4.5, kBlueDark);
    fill(p, 7, 5, 2, 4, kRed);        // hand
    fill(p, 7, 7, 2, 2, kInk);
}

void drawRule(QPainter &p)
{
    const QColor text = rgb(0x7d8da1);
    fill(p, 2, 1, 12, 1, text);
    fill(p, 2, 3, 8, 1, text);
    box(p, 0, 6, 16, 3, vertical(6, 9, kBlueLight, kBlue), kBlueDark);
    fill(p, 2, 11, 12, 1, text);
    fill(p, 2, 13, 9, 1, text);
}

void drawHelp(QPainter &p)
{
    p.save();
    QRadialGradient g(6.0, 4.0, 10.0);
    g.setColorAt(0, rgb(0x86b2e4));
    g.setColorAt(1, rgb(0x2f609a));
    p.setBrush(g);
    p.setPen(QPen(kBlueDark, 1));
    p.drawEllipse(QPointF(8.0, 7.5), 6.9, 6.9);
    p.restore();
    pixels(p, 5, 3,
           {
               ".WWWW.",
               "WW..WW",
               "....WW",
               "...WW.",
               "..WW..",
               "..WW..",
               "......",
               "..WW..",
               "..WW..",
           },
           {{'W', kPaper}});
}

void drawPin(QPainter &p)
{
    // An upright push pin.
    pixels(p, 3, 0,
           {
               "..DDDDDD..",
               "..DhRRrD..",
               "...DhRrD..",
               "...DhRrD..",
               "...DhRrD..",
               "...DhRrD..",
               ".DDDDDDDD.",
               "DhhRRRRRrD",
               "DDDDDDDDDD",
               "....NM....",
               "....NM....",
               "....NM....",
               "....NM....",
               "....N.....",
               "....N.....",
           },
           {{'D', kRedDark}, {'R', kRed}, {'r', rgb(0xa8362a)}, {'h', rgb(0xf08a7c)}, {'N', kMetalDark},
            {'M', rgb(0xb8c2ce)}});
}

// ---- status bar --------------------------------------------------------------------------------

void drawStatusPath(QPainter &p)
{
    folderClosed(p, 1, 2, 14, 12);
}

void drawStatusMessage(QPainter &p)
{
    p.save();
    QRadialGradient g(6.0, 4.0, 10.0);
    g.setColorAt(0, rgb(0x86b2e4));
    g.setColorAt(1, rgb(0x2f609a));
    p.setBrush(g);
    p.setPen(QPen(kBlueDark, 1));
    p.drawEllipse(QPointF(8.0, 7.5), 6.4, 6.4);
    p.restore();
    pixels(p, 6, 3,
           {
               ".WW.",
               ".WW.",
               "....",
               "WWW.",
               ".WW.",
               ".WW.",
               ".WW.",
               "WWWW",
           },
           {{'W', kPaper}});
}

// ---- seek bar ----------------------------------------------------------------------------------

QImage drawKnob()
{
    QImage image = blank(20, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pill(0.5, 0.5, 19, 11);
    p.setPen(QPen(rgb(0x3f6390), 1));
    p.setBrush(vertical(0, 12, rgb(0xffffff), rgb(0xbccfe6)));
    p.drawRoundedRect(pill, 5.5, 5.5);
    // A soft highlight along the top half.
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0xffffff, 140));
    p.drawRoundedRect(QRectF(3, 1.5, 14, 3.5), 1.75, 1.75);
    // Grip lines.
    for (int x : {7, 9, 11}) {
        fill(p, x, 3, 1, 6, rgb(0x6c88ad));
        fill(p, x + 1, 3, 1, 6, rgb(0xffffff, 200));
    }
    return image;
}

QImage drawGroove()
{
    QImage image = blank(580, 4);
    QPainter p(&image);
    fill(p, 0, 0, 580, 1, rgb(0x8593a6));
    fill(p, 0, 1, 580, 1, rgb(0xb3bdca));
    fill(p, 0, 2, 580, 1, rgb(0xd3d9e1));
    fill(p, 0, 3, 580, 1, rgb(0xffffff));
    // Rounded ends: the side pixels take the border colour.
    for (int x : {0, 579}) {
        dot(p, x, 1, rgb(0x9aa8b8));
        dot(p, x, 2, rgb(0xc3cbd6));
    }
    return image;
}

// ---- program icon ------------------------------------------------------------------------------

// Headphones: band centred at (cx, cy) with radius r; cups hang below the band's ends.
void headphones(QPainter &p, qreal cx, qreal cy, qreal r, qreal band, qreal cupW, qreal cupH, qreal line,
                bool snap = false)
{
    p.save();
    QPainterPath arc;
    arc.arcMoveTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 180);
    arc.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 180, -180);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rgb(0x17355a), band + 2 * line, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    p.setPen(QPen(rgb(0x4d7fb8), band, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    if (band >= 4) {
        p.setPen(QPen(rgb(0x8fb6e2), band * 0.3, Qt::SolidLine, Qt::FlatCap));
        QPainterPath shine;
        const qreal ir = r - band * 0.15;
        shine.arcMoveTo(QRectF(cx - ir, cy - ir, 2 * ir, 2 * ir), 160);
        shine.arcTo(QRectF(cx - ir, cy - ir, 2 * ir, 2 * ir), 160, -70);
        p.drawPath(shine);
    }
    for (int side = 0; side < 2; ++side) {
        const qreal x = side == 0 ? cx - r : cx + r;
        QRectF cup(x - cupW / 2, cy - cupH * 0.18, cupW, cupH);
        if (snap)  // whole pixels, with the 1 px outline on pixel centres
            cup = QRectF(std::round(cup.left()) + 0.5, std::round(cup.top()) + 0.5, cupW - 1, cupH - 1);
        QLinearGradient g(cup.left(), 0, cup.right(), 0);
        g.setColorAt(side == 0 ? 0 : 1, rgb(0x2a5283));
        g.setColorAt(side == 0 ? 1 : 0, rgb(0x6a9ad2));
        p.setPen(QPen(rgb(0x17355a), line));
        p.setBrush(g);
        p.drawRoundedRect(cup, cupW * 0.38, cupW * 0.38);
        if (cupW >= 8) {
            // Cushion on the inner side.
            const qreal cw = cupW * 0.32;
            const QRectF cushion(side == 0 ? cup.right() - cw * 0.6 : cup.left() - cw * 0.4, cup.top() + cupH * 0.12,
                                 cw, cupH * 0.76);
            p.setBrush(vertical(cushion.top(), cushion.bottom(), rgb(0x4a5666), rgb(0x232b36)));
            p.drawRoundedRect(cushion, cw * 0.45, cw * 0.45);
        }
    }
    p.restore();
}

// Large sizes: drawn in 128 units and scaled.
QImage drawAppIconLarge(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 128.0;
    p.scale(s, s);
    const qreal line = std::max(2.4, 1.0 / s);

    // Soft shadow under the page.
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(rgb(0x000000, 14));
        p.drawRoundedRect(QRectF(10 + 2 + i, 6 + 4 + i, 80 - 2 * i + 2, 112 - 2 * i), 4, 4);
    }
    // Page with a folded corner.
    const qreal l = 10, t = 6, r = 88, b = 116, fold = 22;
    QPolygonF page;
    page << QPointF(l, t) << QPointF(r - fold, t) << QPointF(r, t + fold) << QPointF(r, b) << QPointF(l, b);
    p.setPen(QPen(rgb(0x56687f), line, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(vertical(t, b, rgb(0xffffff), rgb(0xe3eaf3)));
    p.drawPolygon(page);
    QPolygonF ear;
    ear << QPointF(r - fold, t) << QPointF(r - fold, t + fold) << QPointF(r, t + fold);
    p.setBrush(vertical(t, t + fold, rgb(0xf4f7fb), rgb(0xc6d3e3)));
    p.drawPolygon(ear);
    // Text lines: a blue heading, then body lines.
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0x3d6fa8));
    p.drawRoundedRect(QRectF(22, 22, 36, 7), 2, 2);
    p.setBrush(rgb(0x9aabbf));
    const qreal widths[] = {54, 44, 54, 30, 50, 40};
    for (int i = 0; i < 6; ++i)
        p.drawRoundedRect(QRectF(22, 40 + i * 12, widths[i], 5), 2, 2);
    // Headphones in front of the lower right.
    headphones(p, 88, 84, 27, 9, 19, 36, line);
    return image;
}

// 16 and 24 px: the page on the pixel grid, the 16 px headphones placed pixel by pixel.
QImage drawAppIconSmall(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (size == 16) {
        // The page's right edge hides under the right cup.
        sheet(p, 0, 0, 14, 16, 3, 0, 0);
        fill(p, 2, 3, 6, 1, kBlue);
        fill(p, 2, 5, 8, 1, kTextLine);
        fill(p, 2, 7, 5, 1, kTextLine);
        fill(p, 2, 9, 3, 1, kTextLine);
        pixels(p, 6, 5,
               {
                   "..dDDDDd..",
                   "dDDBBBBDDd",
                   "DBBDDDDBBD",
                   "DBD....DBD",
                   "DBD....DBD",
                   "DDDD..DDDD",
                   "DCLD..DLCD",
                   "DCLD..DLCD",
                   "DCLD..DLCD",
                   "DCLD..DLCD",
                   ".DD....DD.",
               },
               {{'D', rgb(0x17355a)}, {'d', rgb(0x17355a, 110)}, {'B', rgb(0x4d7fb8)}, {'C', rgb(0x5a8cc6)}, {'L', rgb(0x2a5283)}});
    } else {
        sheet(p, 1, 0, 16, 23, 5, 0, 0);
        fill(p, 3, 4, 7, 2, kBlue);
        for (int i = 0; i < 5; ++i)
            fill(p, 3, 8 + 3 * i, (i % 2) ? 8 : 12, 1, kTextLine);
        headphones(p, 16.0, 14.0, 5.5, 2.2, 5.0, 9.0, 1.0, true);
    }
    return image;
}

// ---- output ------------------------------------------------------------------------------------

QImage draw16x15(const std::function<void(QPainter &)> &fn)
{
    QImage image = blank(16, 15);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fn(p);
    return image;
}

bool save(const QImage &image, const QString &path)
{
    const bool ok = image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
    QTextStream(stderr) << (ok ? "wrote " : "FAILED ") << path << Qt::endl;
    return ok;
}

struct Entry {
    QString path;
    QImage image;
};

// All toolbar and status images on the window background: 1x, disabled 1x, 4x and disabled 4x, plus the
// knob on its groove and the program icon sizes.
QImage contactSheet(const std::vector<Entry> &small, const std::vector<QImage> &appIcons, const QImage &knob,
                    const QImage &groove)
{
    const int n = int(small.size());
    const int w = std::max(n * 70 + 20, 700);
    QImage sheetImage(w, 420, QImage::Format_ARGB32_Premultiplied);
    sheetImage.fill(rgb(0xeef1f5));
    QPainter p(&sheetImage);
    QStyleOption option;
    for (int i = 0; i < n; ++i) {
        const QPixmap normal = QPixmap::fromImage(small[i].image);
        const QPixmap disabled = QApplication::style()->generatedIconPixmap(QIcon::Disabled, normal, &option);
        // Checked button background under the 1x copy, as play/pause show it.
        p.fillRect(QRect(10 + i * 24, 5, 20, 19), rgb(0xcbd9ea));
        p.drawPixmap(12 + i * 24, 7, normal);
        p.drawPixmap(12 + i * 24, 30, normal);
        p.drawPixmap(12 + i * 24, 52, disabled);
        const int x4 = 10 + i * 70;
        const int y4 = 80;
        p.drawImage(QRect(x4, y4, 64, 60), normal.toImage());
        p.drawImage(QRect(x4, y4 + 66, 64, 60), disabled.toImage());
    }
    // Knob on the groove, at 1x and 4x.
    p.drawImage(10, 230, groove.copy(0, 0, 200, 4));
    p.drawImage(60, 226, knob);
    p.drawImage(QRect(260, 215, 80, 48), knob);
    p.drawImage(QRect(360, 239, 200, 16), groove.copy(0, 0, 50, 4));
    int x = 10;
    for (const QImage &icon : appIcons) {
        p.drawImage(x, 280, icon);
        x += icon.width() + 10;
    }
    return sheetImage;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QDir dir(args.size() > 1 ? args.at(1) : QStringLiteral("resources"));
    bool ok = true;

    const std::vector<std::function<void(QPainter &)>> bar1 = {
        drawNew, drawOpen, drawSave, drawSaveAs, drawRedo, drawUndo, drawCut,
        drawCopy, drawPaste, drawOpenAudio, drawPlay, drawPause, drawRewind, drawForward,
    };
    const std::vector<std::function<void(QPainter &)>> bar2 = {
        drawBold, drawItalic, drawUnderline, drawDateTime, drawSeconds, drawRule, drawHelp, drawPin,
    };
    std::vector<Entry> small;
    for (size_t i = 0; i < bar1.size(); ++i)
        small.push_back({QStringLiteral("toolbar1/%1.png").arg(int(i), 2, 10, QLatin1Char('0')), draw16x15(bar1[i])});
    for (size_t i = 0; i < bar2.size(); ++i)
        small.push_back({QStringLiteral("toolbar2/%1.png").arg(int(i)), draw16x15(bar2[i])});
    small.push_back({QStringLiteral("status/0.png"), draw16x15(drawStatusPath)});
    small.push_back({QStringLiteral("status/1.png"), draw16x15(drawStatusMessage)});
    for (const Entry &e : small)
        ok = save(e.image, dir.filePath(e.path)) && ok;

    const QImage knob = drawKnob();
    const QImage groove = drawGroove();
    ok = save(knob, dir.filePath(QStringLiteral("seekbar/knob.png"))) && ok;
    ok = save(groove, dir.filePath(QStringLiteral("seekbar/groove.png"))) && ok;

    std::vector<QImage> appIcons;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128}) {
        const QImage icon = size <= 24 ? drawAppIconSmall(size) : drawAppIconLarge(size);
        appIcons.push_back(icon);
        ok = save(icon, dir.filePath(QStringLiteral("icons/app-%1.png").arg(size))) && ok;
    }

    if (args.size() > 2)
        ok = save(contactSheet(small, appIcons, knob, groove), args.at(2)) && ok;
    return ok ? 0 : 1;
}
