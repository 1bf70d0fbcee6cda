#pragma once

// TfxRepeatBtn: a flat button that repeats its click while held.

#include <QPixmap>
#include <QString>
#include <QWidget>

class QTimer;

// TfxRepeatBtn: a flat push button that never takes the focus and, while it is held down,
// clicks again and again: first after InitDelay, then every RepeatDelay.
//
// A press of the left button over the enabled button shows it pressed while
// the held pointer is over it; the release over it clicks once more.  A
// release of any button ends the repeating.  The repeat timer exists only
// from a press (with RepeatEnabled on) to the next release.
//
// A connected slot that throws ends the repeating for this press; its error
// is shown as an error message box and the next press starts afresh.
class TfxRepeatBtn : public QWidget
{
    Q_OBJECT

public:
    explicit TfxRepeatBtn(QWidget *parent = nullptr);
    ~TfxRepeatBtn() override;

    // Milliseconds from the press to the first repeated click (400 at
    // creation); 0 gives no repeated click.
    int InitDelay() const { return initDelay_; }
    void SetInitDelay(int milliseconds);
    // Milliseconds between repeated clicks (100 at creation); 0 gives only
    // the first repeated click.
    int RepeatDelay() const { return repeatDelay_; }
    void SetRepeatDelay(int milliseconds);
    // Off at creation: then every press and release gives exactly one click.
    bool RepeatEnabled() const { return repeatEnabled_; }
    void SetRepeatEnabled(bool on);

    // Informational and read-only: the writes are ignored.
    QString Copyright() const;
    void SetCopyright(const QString &) {}
    QString Version() const;
    void SetVersion(const QString &) {}

    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);

    // NumGlyphs pictures side by side: normal, disabled (then clicked, down).
    // Setting a glyph whose width is a multiple of its height sets NumGlyphs
    // to that multiple.
    const QPixmap &Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap &glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);

    // The pressed look: the left button is held and the pointer is over it.
    bool IsDown() const { return down_; }
    // True from a press with RepeatEnabled on to the next release.
    bool HasRepeatTimer() const { return repeatTimer_ != nullptr; }

    QSize sizeHint() const override;

signals:
    // Once per click: at each repeat and at a release over the button.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void StartRepeatTimer();
    void RepeatTimerExpired();
    void DestroyRepeatTimer();
    void SetTimerInterval(int milliseconds);
    bool FireClick();
    void SetDown(bool down);
    QPixmap GlyphPicture(int index) const;

    int initDelay_ = 400;
    int repeatDelay_ = 100;
    bool repeatEnabled_ = false;
    QString caption_;
    QPixmap glyph_;
    int numGlyphs_ = 1;
    bool tracking_ = false;
    bool down_ = false;
    bool hovered_ = false;
    QTimer *repeatTimer_ = nullptr;
};
