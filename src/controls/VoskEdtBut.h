#pragma once

#include <QImage>
#include <QLineEdit>

class QToolButton;

// A one-line edit with a small glyph button inside its right edge. Pressing the button focuses
// the edit and emits OnButClick; no key opens it.
class TVoskEdtBut : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(TBmpCount ButtonBmp READ ButtonBmp WRITE SetButtonBmp)
    Q_PROPERTY(bool ButVisible READ ButVisible WRITE SetButVisible)
public:
    enum TBmpCount { VoskDown, VoskOK, VoskLookup, VoskFolder, VoskFind };
    Q_ENUM(TBmpCount)

    explicit TVoskEdtBut(QWidget* parent = nullptr);

    TBmpCount ButtonBmp() const { return buttonBmp; }
    void SetButtonBmp(TBmpCount kind);
    bool ButVisible() const { return butVisible; }
    void SetButVisible(bool visible);

    QWidget* Panel() const { return panel; }
    QToolButton* Button() const { return button; }

    virtual void LayoutButton();
    virtual void ButClick();

signals:
    void OnButClick(TVoskEdtBut* sender);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadGlyph();

    TBmpCount buttonBmp = VoskDown;
    bool butVisible = true;
    QWidget* panel;
    QToolButton* button;
};

// The shared 20 × 10 glyph of one kind: the normal 10 × 10 image on the left, the greyed
// disabled one on the right, the background transparent. Drawn once per run.
QImage GetButtonGlyph(TVoskEdtBut::TBmpCount kind);
