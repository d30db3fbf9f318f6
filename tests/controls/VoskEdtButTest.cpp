#include "controls/VoskEdtBut.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>

namespace {

bool IsOpaque(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 255;
}

// Opaque pixels in the half starting at left, and whether every one of them is grey.
int OpaquePixels(const QImage& image, int left, bool* allGrey) {
    int count = 0;
    *allGrey = true;
    for (int y = 0; y < 10; ++y)
        for (int x = left; x < left + 10; ++x)
            if (IsOpaque(image, x, y)) {
                ++count;
                const QRgb p = image.pixel(x, y);
                *allGrey = *allGrey && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
            }
    return count;
}

} // namespace

TEST(VoskEdtBut, ButtonSitsInsideTheRightEdgeAndTextStopsBeforeIt) {
    QWidget window;
    TVoskEdtBut edit(&window);
    window.show();
    edit.resize(120, 21);
    EXPECT_EQ(edit.Panel()->geometry(), QRect(120 - 21, 0, 17, 17));
    EXPECT_EQ(edit.Button()->geometry(), QRect(0, 0, 17, 17));
    EXPECT_EQ(edit.textMargins(), QMargins(0, 0, 17, 0));
    EXPECT_EQ(edit.Button()->cursor().shape(), Qt::ArrowCursor);

    edit.setFrame(false);
    edit.resize(150, 21);
    EXPECT_EQ(edit.Panel()->geometry(), QRect(150 - 21, 0, 21, 21));
    EXPECT_EQ(edit.textMargins(), QMargins(0, 0, 21, 0));

    edit.SetButVisible(false);
    EXPECT_TRUE(edit.Panel()->size().isEmpty());
    EXPECT_TRUE(edit.Button()->size().isEmpty());
    EXPECT_EQ(edit.textMargins(), QMargins(0, 0, 0, 0));
    edit.SetButVisible(true);
    EXPECT_EQ(edit.Button()->size(), QSize(21, 21));
}

TEST(VoskEdtBut, GlyphsAreDrawnOnceWithANormalAndAGreyedHalfOnATransparentBackground) {
    for (int k = TVoskEdtBut::VoskDown; k <= TVoskEdtBut::VoskFind; ++k) {
        const auto kind = static_cast<TVoskEdtBut::TBmpCount>(k);
        const QImage glyph = GetButtonGlyph(kind);
        EXPECT_EQ(glyph.size(), QSize(20, 10));
        EXPECT_EQ(GetButtonGlyph(kind).cacheKey(), glyph.cacheKey());
        EXPECT_FALSE(IsOpaque(glyph, 0, 9));
        bool normalGrey = false;
        bool disabledGrey = false;
        EXPECT_GT(OpaquePixels(glyph, 0, &normalGrey), 3) << k;
        EXPECT_EQ(OpaquePixels(glyph, 10, &disabledGrey), OpaquePixels(glyph, 0, &normalGrey));
        EXPECT_TRUE(disabledGrey) << k;
        const QImage left = glyph.copy(0, 0, 10, 10);
        for (int other = TVoskEdtBut::VoskDown; other < k; ++other)
            EXPECT_NE(
                left,
                GetButtonGlyph(static_cast<TVoskEdtBut::TBmpCount>(other)).copy(0, 0, 10, 10));
    }
    EXPECT_EQ(GetButtonGlyph(TVoskEdtBut::VoskDown).pixelColor(5, 6), QColor(Qt::black));
    EXPECT_EQ(GetButtonGlyph(TVoskEdtBut::VoskFolder).pixelColor(4, 5), QColor(255, 255, 0));
}

TEST(VoskEdtBut, ButtonBmpLoadsTheGlyphOnlyWhenItChanges) {
    TVoskEdtBut edit;
    EXPECT_EQ(edit.ButtonBmp(), TVoskEdtBut::VoskDown);
    const QImage shown = edit.Button()->icon().pixmap(10, 10).toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
              GetButtonGlyph(TVoskEdtBut::VoskDown).copy(0, 0, 10, 10));
    const qint64 before = edit.Button()->icon().cacheKey();
    edit.SetButtonBmp(TVoskEdtBut::VoskDown);
    EXPECT_EQ(edit.Button()->icon().cacheKey(), before);

    edit.setProperty("ButtonBmp", QVariant::fromValue(TVoskEdtBut::VoskFolder));
    EXPECT_EQ(edit.ButtonBmp(), TVoskEdtBut::VoskFolder);
    const QImage disabled = edit.Button()->icon().pixmap(10, 10, QIcon::Disabled).toImage();
    EXPECT_EQ(disabled.convertToFormat(QImage::Format_ARGB32),
              GetButtonGlyph(TVoskEdtBut::VoskFolder).copy(10, 0, 10, 10));
}

TEST(VoskEdtBut, PressingTheButtonFocusesTheEditBeforeTellingAndNoKeyPressesIt) {
    QWidget window;
    QLineEdit other(&window);
    TVoskEdtBut edit(&window);
    other.setFocus();
    int clicks = 0;
    QObject::connect(&edit, &TVoskEdtBut::OnButClick, [&](TVoskEdtBut* sender) {
        EXPECT_EQ(sender, &edit);
        EXPECT_EQ(window.focusWidget(), &edit);
        ++clicks;
    });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Down, Qt::Key_F4}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&edit, &press);
    }
    EXPECT_EQ(clicks, 0);
    edit.Button()->click();
    EXPECT_EQ(clicks, 1);
}
