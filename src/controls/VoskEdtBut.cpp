#include "controls/VoskEdtBut.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <array>

namespace {

constexpr int GlyphSize = 10;
const QColor GlyphBackground(0, 255, 255);
const QColor Black(0, 0, 0);

void DrawDown(QPainter& p) {
    for (int row = 0; row < 4; ++row)
        p.fillRect(2 + row, 3 + row, 7 - 2 * row, 1, Black);
}

void DrawOK(QPainter& p) {
    p.setPen(QPen(Black, 1));
    for (int shift = 0; shift < 2; ++shift) {
        p.drawLine(1, 4 + shift, 3, 6 + shift);
        p.drawLine(3, 6 + shift, 8, 1 + shift);
    }
}

void DrawLookup(QPainter& p) {
    for (int x : {1, 4, 7})
        p.fillRect(x, 6, 2, 2, Black);
}

void DrawFolder(QPainter& p) {
    const QColor outline(128, 128, 0);
    p.setPen(outline);
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(1, 3, 7, 5);
    p.fillRect(2, 2, 3, 1, outline);
}

void DrawFind(QPainter& p) {
    p.setPen(QPen(Black, 1));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(1, 1, 5, 5);
    p.fillRect(6, 6, 2, 2, Black);
    p.fillRect(7, 7, 2, 2, Black);
}

void DrawPicture(QPainter& p, TVoskEdtBut::TBmpCount kind) {
    switch (kind) {
    case TVoskEdtBut::VoskDown:
        DrawDown(p);
        break;
    case TVoskEdtBut::VoskOK:
        DrawOK(p);
        break;
    case TVoskEdtBut::VoskLookup:
        DrawLookup(p);
        break;
    case TVoskEdtBut::VoskFolder:
        DrawFolder(p);
        break;
    case TVoskEdtBut::VoskFind:
        DrawFind(p);
        break;
    }
}

// Dark parts become mid grey, light parts light grey.
QRgb Greyed(QRgb pixel) {
    return qGray(pixel) < 160 ? qRgb(128, 128, 128) : qRgb(192, 192, 192);
}

// The colour of the bottom-left pixel becomes transparent.
QImage WithTransparentBackground(const QImage& opaque) {
    QImage image = opaque.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == background)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

QImage DrawGlyph(TVoskEdtBut::TBmpCount kind) {
    QImage image(2 * GlyphSize, GlyphSize, QImage::Format_RGB32);
    image.fill(GlyphBackground);
    {
        QPainter painter(&image);
        DrawPicture(painter, kind);
    }
    const QRgb background = GlyphBackground.rgb();
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x) {
            const QRgb pixel = image.pixel(x, y);
            image.setPixel(GlyphSize + x, y, pixel == background ? pixel : Greyed(pixel));
        }
    return WithTransparentBackground(image);
}

QIcon GlyphIcon(const QImage& glyph) {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(glyph.copy(0, 0, GlyphSize, GlyphSize)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(glyph.copy(GlyphSize, 0, GlyphSize, GlyphSize)),
                   QIcon::Disabled);
    return icon;
}

} // namespace

QImage GetButtonGlyph(TVoskEdtBut::TBmpCount kind) {
    static std::array<QImage, TVoskEdtBut::VoskFind + 1> glyphs;
    QImage& glyph = glyphs.at(kind);
    if (glyph.isNull())
        glyph = DrawGlyph(kind);
    return glyph;
}

TVoskEdtBut::TVoskEdtBut(QWidget* parent)
    : QLineEdit(parent), panel(new QWidget(this)), button(new QToolButton(panel)) {
    button->setAutoRaise(true);
    button->setCursor(Qt::ArrowCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(GlyphSize, GlyphSize));
    connect(button, &QToolButton::clicked, this, &TVoskEdtBut::ButClick);
    LoadGlyph();
    LayoutButton();
}

void TVoskEdtBut::SetButtonBmp(TBmpCount kind) {
    if (kind == buttonBmp)
        return;
    buttonBmp = kind;
    LoadGlyph();
}

void TVoskEdtBut::SetButVisible(bool visible) {
    butVisible = visible;
    LayoutButton();
}

void TVoskEdtBut::LoadGlyph() {
    button->setIcon(GlyphIcon(GetButtonGlyph(buttonBmp)));
}

void TVoskEdtBut::LayoutButton() {
    if (!butVisible) {
        panel->setGeometry(width() - height(), 0, 0, 0);
        button->setGeometry(0, 0, 0, 0);
        setTextMargins(0, 0, 0, 0);
        return;
    }
    const int side = hasFrame() ? height() - 4 : height();
    panel->setGeometry(width() - height(), 0, side, side);
    button->setGeometry(0, 0, side, side);
    setTextMargins(0, 0, side, 0);
}

void TVoskEdtBut::ButClick() {
    setFocus(Qt::OtherFocusReason);
    emit OnButClick(this);
}

void TVoskEdtBut::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    LayoutButton();
}
