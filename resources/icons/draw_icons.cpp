// Draws the button pictures of the main and print windows, the two structure
// cursors and the update check's pictures into PNG files. The PNGs are
// committed; run this again only to change a picture:
//
//   g++ -std=c++20 -fPIC draw_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o draw_icons
//   QT_QPA_PLATFORM=offscreen ./draw_icons <resources folder>
//
// Every picture is drawn on a 32 x 32 grid (the compare picture 96 x 32) and
// rendered at twice that size, so it stays sharp when a button scales it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>

namespace {

constexpr int kScale = 2;
const QColor kInk(40, 40, 48);
const QColor kFolder(240, 196, 72);
const QColor kFolderDark(196, 148, 40);
const QColor kGreen(46, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kBlue(40, 96, 200);
const QColor kPaper(252, 252, 248);

QPen pen(const QColor& c, double w = 1.6) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void save(const QString& file, int w, int h, const std::function<void(QPainter&)>& draw, int scale = kScale)
{
    QImage img(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    p.end();
    if (!img.save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

void folder(QPainter& p, double x, double y, double w, double h)
{
    QPainterPath path;
    path.moveTo(x, y + 3);
    path.lineTo(x + w * 0.38, y + 3);
    path.lineTo(x + w * 0.46, y);
    path.lineTo(x + w, y);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(pen(kFolderDark, 1.2));
    p.setBrush(kFolder);
    p.drawPath(path);
    p.drawLine(QPointF(x, y + 6), QPointF(x + w, y + 6));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& c, double w = 3)
{
    p.setPen(pen(c, w));
    p.drawLine(from, to);
    const double a = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double len = 6;
    QPolygonF head;
    head << to + QPointF(std::cos(a) * 2, std::sin(a) * 2)
         << to + QPointF(std::cos(a + 2.5) * len, std::sin(a + 2.5) * len)
         << to + QPointF(std::cos(a - 2.5) * len, std::sin(a - 2.5) * len);
    p.setPen(pen(c, 1));
    p.setBrush(c);
    p.drawPolygon(head);
}

void circularArrow(QPainter& p, QPointF centre, double r, double startDeg, double spanDeg, const QColor& c)
{
    p.setPen(pen(c, 3));
    p.setBrush(Qt::NoBrush);
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    p.drawArc(box, int(startDeg * 16), int(spanDeg * 16));
    const double end = (startDeg + spanDeg) * M_PI / 180.0;
    const QPointF tip(centre.x() + r * std::cos(end), centre.y() - r * std::sin(end));
    // The head points along the arc's direction of travel.
    const double dir = spanDeg > 0 ? end + M_PI / 2 : end - M_PI / 2;
    const QPointF along(std::cos(dir), -std::sin(dir));
    const QPointF across(std::cos(end), -std::sin(end));
    QPolygonF head;
    head << tip + along * 5 << tip + across * 4.5 << tip - across * 4.5;
    p.setPen(pen(c, 1));
    p.setBrush(c);
    p.drawPolygon(head);
}

void page(QPainter& p, double x, double y, double w, double h)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 6, y);
    path.lineTo(x + w, y + 6);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(x + w - 6, y), QPointF(x + w - 6, y + 6));
    p.drawLine(QPointF(x + w - 6, y + 6), QPointF(x + w, y + 6));
}

void textLines(QPainter& p, double x, double y, double w, int n, const QColor& c)
{
    p.setPen(pen(c, 1.4));
    for (int k = 0; k < n; ++k)
        p.drawLine(QPointF(x, y + k * 4), QPointF(x + w - (k % 2) * 4, y + k * 4));
}

void printer(QPainter& p)
{
    page(p, 9, 3, 14, 10);
    p.setPen(pen(kInk, 1.2));
    p.setBrush(QColor(120, 124, 136));
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 20, 16, 9));
    textLines(p, 10.5, 23, 11, 2, QColor(90, 90, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(25, 15.5), 1.3, 1.3);
}

// The printer a little smaller and lower, leaving the top right corner free
// for a sign.
void smallPrinter(QPainter& p)
{
    p.save();
    p.translate(0, 5);
    p.scale(0.84, 0.84);
    printer(p);
    p.restore();
}

void drive(QPainter& p, double y)
{
    p.setPen(pen(kInk, 1.2));
    p.setBrush(QColor(170, 176, 190));
    p.drawRoundedRect(QRectF(3, y, 22, 9), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(20.5, y + 4.5), 1.5, 1.5);
}

void flagGreek(QPainter& p)
{
    const QRectF r(2, 6, 28, 20);
    const QColor blue(13, 94, 175);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 9; ++k) {
        p.setBrush(k % 2 == 0 ? blue : Qt::white);
        p.drawRect(QRectF(r.left(), r.top() + k * r.height() / 9, r.width(), r.height() / 9 + 0.05));
    }
    const double q = r.height() * 5 / 9;
    p.setBrush(blue);
    p.drawRect(QRectF(r.left(), r.top(), q, q));
    p.setBrush(Qt::white);
    const double bar = r.height() / 9;
    p.drawRect(QRectF(r.left(), r.top() + 2 * bar, q, bar));
    p.drawRect(QRectF(r.left() + 2 * bar, r.top(), bar, q));
    p.setPen(pen(kInk, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void flagEnglish(QPainter& p)
{
    const QRectF r(2, 6, 28, 20);
    const QColor blue(1, 33, 105), red(200, 16, 46);
    p.save();
    p.setClipRect(r);
    p.fillRect(r, blue);
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    p.setPen(QPen(red, 1.4));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.center().x() - 3.5, r.top(), 7, r.height()));
    p.drawRect(QRectF(r.left(), r.center().y() - 3.5, r.width(), 7));
    p.setBrush(red);
    p.drawRect(QRectF(r.center().x() - 2, r.top(), 4, r.height()));
    p.drawRect(QRectF(r.left(), r.center().y() - 2, r.width(), 4));
    p.restore();
    p.setPen(pen(kInk, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void gear(QPainter& p, QPointF c, double r)
{
    QPainterPath path;
    const int teeth = 8;
    for (int k = 0; k < teeth * 2; ++k) {
        const double a0 = k * M_PI / teeth, a1 = (k + 1) * M_PI / teeth;
        const double rr = k % 2 == 0 ? r : r * 0.74;
        const QPointF p0(c.x() + rr * std::cos(a0), c.y() + rr * std::sin(a0));
        const QPointF p1(c.x() + rr * std::cos(a1), c.y() + rr * std::sin(a1));
        if (k == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(c, r * 0.32, r * 0.32);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(pen(kInk, 1));
    p.setBrush(QColor(128, 134, 150));
    p.drawPath(path);
}

void circleLetter(QPainter& p, const QColor& c, const QString& letter)
{
    p.setPen(pen(c.darker(130), 1.2));
    p.setBrush(c);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setBold(true);
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, letter);
}

void cursor(QPainter& p, const QColor& fill, const QString& mark)
{
    QPolygonF shape;
    shape << QPointF(1, 1) << QPointF(1, 19) << QPointF(5.5, 14.5) << QPointF(9, 22) << QPointF(12, 20.6)
          << QPointF(8.6, 13.4) << QPointF(14.5, 13.4);
    p.setPen(pen(Qt::black, 1.2));
    p.setBrush(fill);
    p.drawPolygon(shape);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(15, 15, 15, 15), 3, 3);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QRectF(15, 15, 15, 15), Qt::AlignCenter, mark);
}

} // namespace

// A round badge with a white sign on it: the outcomes of the update check.
void badge(QPainter& p, const QColor& fill, const std::function<void(QPainter&)>& sign)
{
    p.setPen(pen(fill.darker(140), 1.2));
    p.setBrush(fill);
    p.drawEllipse(QPointF(16, 16), 14, 14);
    p.setPen(pen(Qt::white, 3.4));
    p.setBrush(Qt::NoBrush);
    sign(p);
}

void hourglass(QPainter& p)
{
    p.setPen(pen(kInk, 1.6));
    p.setBrush(QColor(150, 100, 60));
    p.drawRect(QRectF(7, 2, 18, 3));
    p.drawRect(QRectF(7, 27, 18, 3));
    QPainterPath glass;
    glass.moveTo(9, 5);
    glass.lineTo(23, 5);
    glass.cubicTo(23, 12, 17, 14, 17, 16);
    glass.cubicTo(17, 18, 23, 20, 23, 27);
    glass.lineTo(9, 27);
    glass.cubicTo(9, 20, 15, 18, 15, 16);
    glass.cubicTo(15, 14, 9, 12, 9, 5);
    p.setBrush(QColor(220, 236, 250));
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(kFolder);
    p.drawPolygon(QPolygonF{QPointF(11.5, 9), QPointF(20.5, 9), QPointF(16, 14)});
    p.drawPolygon(QPolygonF{QPointF(16, 21), QPointF(21.5, 26), QPointF(10.5, 26)});
}

// A hand pointing up, the tip of its finger at (12, 1): the cursor over a
// link that opens in the browser.
void pointingHand(QPainter& p)
{
    QPainterPath hand;
    hand.moveTo(10, 3);
    hand.cubicTo(10, 0.5, 14, 0.5, 14, 3);
    hand.lineTo(14, 12);
    hand.cubicTo(14, 10, 18, 10, 18, 12.5);
    hand.cubicTo(18, 10.5, 22, 10.5, 22, 13.5);
    hand.cubicTo(22, 11.5, 26, 11.5, 26, 14.5);
    hand.lineTo(26, 22);
    hand.cubicTo(26, 27, 23, 30, 18, 30);
    hand.lineTo(15, 30);
    hand.cubicTo(11, 30, 9, 27, 6, 22);
    hand.lineTo(3, 17);
    hand.cubicTo(2, 15, 4.5, 13, 6.5, 15);
    hand.lineTo(10, 19);
    hand.closeSubpath();
    p.setPen(pen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(pen(Qt::black, 0.9));
    p.drawLine(QPointF(14, 12), QPointF(14, 17));
    p.drawLine(QPointF(18, 12.5), QPointF(18, 17));
    p.drawLine(QPointF(22, 13.5), QPointF(22, 17.5));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString icons = root + QStringLiteral("/icons/");
    const QString pictures = root + QStringLiteral("/pictures/");

    save(icons + "page-setup.png", 32, 32, [](QPainter& p) {
        page(p, 6, 2, 20, 28);
        p.setPen(QPen(kBlue, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(9.5, 7.5, 13, 19));
        textLines(p, 11, 11, 10, 4, QColor(110, 110, 110));
    });
    save(icons + "printer-setup.png", 32, 32, [](QPainter& p) { printer(p); });
    // The print window's two commands: the printer at work, and stopped.
    save(icons + "print.png", 32, 32, [](QPainter& p) {
        smallPrinter(p);
        arrow(p, QPointF(27, 2), QPointF(27, 15), kGreen, 3.4);
    });
    save(icons + "cancel-printing.png", 32, 32, [](QPainter& p) {
        smallPrinter(p);
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 6.4}, std::pair{kRed, 3.4}}) {
            p.setPen(pen(colour, width));
            p.drawLine(QPointF(20, 3), QPointF(30, 13));
            p.drawLine(QPointF(30, 3), QPointF(20, 13));
        }
    });
    save(icons + "up-one-level.png", 32, 32, [](QPainter& p) {
        folder(p, 2, 12, 24, 17);
        arrow(p, QPointF(22, 24), QPointF(22, 4), kGreen, 3.4);
    });
    save(icons + "store-path.png", 32, 32, [](QPainter& p) {
        folder(p, 2, 10, 24, 18);
        p.setPen(pen(kGreen, 3.4));
        p.drawLine(QPointF(24, 3), QPointF(24, 15));
        p.drawLine(QPointF(18, 9), QPointF(30, 9));
    });
    save(icons + "restore-path.png", 32, 32, [](QPainter& p) {
        folder(p, 2, 12, 22, 17);
        circularArrow(p, QPointF(22, 11), 7, -60, 250, kBlue);
    });
    save(icons + "refresh.png", 32, 32, [](QPainter& p) {
        circularArrow(p, QPointF(16, 16), 10, 20, 150, kGreen);
        circularArrow(p, QPointF(16, 16), 10, 200, 150, kGreen);
    });
    save(icons + "map-drive.png", 32, 32, [](QPainter& p) {
        drive(p, 4);
        p.setPen(pen(kInk, 1.6));
        p.drawLine(QPointF(14, 13), QPointF(14, 24));
        p.drawLine(QPointF(4, 24), QPointF(22, 24));
        p.setPen(pen(kGreen, 3.4));
        p.drawLine(QPointF(25, 17), QPointF(25, 29));
        p.drawLine(QPointF(19, 23), QPointF(31, 23));
    });
    save(icons + "unmap-drive.png", 32, 32, [](QPainter& p) {
        drive(p, 4);
        p.setPen(pen(kInk, 1.6));
        p.drawLine(QPointF(14, 13), QPointF(14, 24));
        p.drawLine(QPointF(4, 24), QPointF(18, 24));
        p.setPen(pen(kRed, 3.4));
        p.drawLine(QPointF(20, 18), QPointF(30, 28));
        p.drawLine(QPointF(30, 18), QPointF(20, 28));
    });
    save(icons + "options.png", 32, 32, [](QPainter& p) {
        page(p, 4, 2, 24, 28);
        for (int k = 0; k < 3; ++k) {
            const double y = 8 + k * 7;
            p.setPen(pen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7, y, 5, 5));
            p.setPen(pen(kInk, 1.4));
            p.drawLine(QPointF(15, y + 2.5), QPointF(24, y + 2.5));
            if (k != 1) {
                p.setPen(pen(kGreen, 1.8));
                p.drawPolyline(QPolygonF{QPointF(7.5, y + 2.5), QPointF(9.5, y + 4.5), QPointF(13, y - 1)});
            }
        }
    });
    save(icons + "settings.png", 32, 32, [](QPainter& p) { gear(p, QPointF(16, 16), 13); });
    save(icons + "greek.png", 32, 32, [](QPainter& p) { flagGreek(p); });
    save(icons + "english.png", 32, 32, [](QPainter& p) { flagEnglish(p); });
    save(icons + "hints.png", 32, 32, [](QPainter& p) { circleLetter(p, kBlue, QStringLiteral("?")); });
    save(icons + "about.png", 32, 32, [](QPainter& p) { circleLetter(p, QColor(70, 140, 90), QStringLiteral("i")); });
    save(icons + "exit.png", 32, 32, [](QPainter& p) {
        p.setPen(pen(kInk, 1.2));
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(QRectF(4, 3, 14, 26));
        p.setBrush(QColor(200, 170, 90));
        p.drawEllipse(QPointF(15, 17), 1.2, 1.2);
        arrow(p, QPointF(14, 16), QPointF(29, 16), kRed, 3.4);
    });
    save(icons + "next-difference.png", 32, 32, [](QPainter& p) {
        // Two cells of a row that differ, and the step down to the next one.
        p.setPen(pen(kInk, 1));
        p.setBrush(QColor(0xFF, 0xE0, 0xC0));
        p.drawRect(QRectF(2, 4, 11, 8));
        p.setBrush(QColor(0xC0, 0xFF, 0xFF));
        p.drawRect(QRectF(13, 4, 11, 8));
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(QRectF(2, 20, 11, 8));
        p.drawRect(QRectF(13, 20, 11, 8));
        arrow(p, QPointF(28, 4), QPointF(28, 27), kRed, 3);
    });
    save(icons + "compare.png", 96, 32, [](QPainter& p) {
        page(p, 4, 2, 22, 28);
        textLines(p, 7, 10, 15, 4, QColor(0xFF, 0xC0, 0x80).darker(140));
        page(p, 70, 2, 22, 28);
        textLines(p, 73, 10, 15, 4, QColor(0x80, 0xFF, 0xFF).darker(160));
        arrow(p, QPointF(32, 12), QPointF(63, 12), kBlue, 3);
        arrow(p, QPointF(64, 21), QPointF(33, 21), kBlue, 3);
    });
    // The structure cursors carry the selector colour of their structure.
    save(pictures + "PrimaryCursor.png", 32, 32, [](QPainter& p) { cursor(p, QColor(0xFF, 0xC0, 0x80), QStringLiteral("1")); });
    save(pictures + "SecondaryCursor.png", 32, 32, [](QPainter& p) { cursor(p, QColor(0x80, 0xFF, 0xFF), QStringLiteral("2")); });
    // The update check: checking, a newer version, the latest one, a failure.
    save(pictures + "Checking.png", 32, 32, hourglass);
    save(pictures + "NewVersion.png", 32, 32, [](QPainter& p) {
        badge(p, kBlue, [](QPainter& q) {
            q.drawLine(QPointF(16, 7), QPointF(16, 20));
            q.drawPolyline(QPolygonF{QPointF(10, 15), QPointF(16, 21), QPointF(22, 15)});
            q.drawLine(QPointF(9, 25), QPointF(23, 25));
        });
    });
    save(pictures + "NoUpdates.png", 32, 32, [](QPainter& p) {
        badge(p, kGreen, [](QPainter& q) { q.drawPolyline(QPolygonF{QPointF(8.5, 16.5), QPointF(14, 22), QPointF(23.5, 10)}); });
    });
    save(pictures + "Error.png", 32, 32, [](QPainter& p) {
        badge(p, kRed, [](QPainter& q) {
            q.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
            q.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
        });
    });
    // A cursor keeps its size: its hot spot is given in its own pixels.
    save(pictures + "PointURL.png", 32, 32, pointingHand, 1);
    return 0;
}
