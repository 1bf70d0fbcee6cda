#pragma once

// TDRLabel: a caption drawn in relief that can frame itself and blink.

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPainter;
class QTimer;

enum TDRBorder { boNone, boSingle, boRaised, boLowered };
enum TDRBlink { blNone, blBlink, blHiLo };
enum TDRAlignment { taLeftJustify, taRightJustify, taCenter };

// A text label drawn in relief: a copy of the caption in ShadowColor lies
// Deep pixels right and down under the text.  It can frame itself and blink,
// either on and off or between HiColor and LoColor.
//
// Every write stores the value and schedules a repaint; writing the value
// already held does nothing.
class TDRLabel : public QWidget
{
    Q_OBJECT

public:
    explicit TDRLabel(QWidget *parent = nullptr);
    ~TDRLabel() override;

    // At most the first 255 characters are drawn.
    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);

    // The text colour; the face, size and style are the widget's font().
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor &color);
    // Sets the widget font (and re-measures when AutoSize is on).
    void SetFont(const QFont &font);

    // The background colour.  Until it is written the label takes its
    // parent's window colour (ParentColor).
    QColor Color() const;
    void SetColor(const QColor &color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool on);

    TDRAlignment Alignment() const { return alignment_; }
    void SetAlignment(TDRAlignment alignment);

    // On: the label takes the size of its text (without the shadow offset);
    // a right-aligned one keeps its right edge.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

    // On: no background fill; the parent shows through.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

    // On: "&" underlines the next character ("&&" draws one "&").
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool on);

    // Painting always breaks lines between words at the right edge; WordWrap
    // only makes AutoSize measure the lines within the present width.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);

    // The control that the access key gives the focus to.
    QWidget *FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget *control);

    QColor HiColor() const { return hiColor_; }
    void SetHiColor(const QColor &color);
    QColor LoColor() const { return loColor_; }
    void SetLoColor(const QColor &color);
    TDRBorder Border() const { return border_; }
    void SetBorder(TDRBorder border);
    // Whether the shadow copy is drawn.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    QColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(const QColor &color);

    // 1 or 2; any other value is ignored.
    int Deep() const { return deep_; }
    void SetDeep(int deep);

    // Milliseconds.  0 stops the blinking; a negative period is ignored.
    int BlinkInterval() const { return blinkInterval_; }
    void SetBlinkInterval(int milliseconds);

    // blBlink takes the current font colour as the remembered colour;
    // blHiLo and blNone put the remembered colour back into the font.
    TDRBlink Blink() const { return blink_; }
    void SetBlink(TDRBlink mode);

    // The colour blBlink shows and blHiLo / blNone return to.
    QColor RememberedColor() const { return rememberedColor_; }
    bool BlinkTimerActive() const;

    QSize sizeHint() const override;

signals:
    // The access key was pressed (FocusControl, if any, has the focus now).
    void AccelPressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    void BlinkTimerExpired();
    void UpdateBlinkTimer();
    void AdjustBounds();
    void UpdateShortcut();
    QSize TextSize() const;
    int TextFlags() const;
    void DrawFrame(QPainter &painter);
    void DrawCaption(QPainter &painter, const QRect &rect, const QColor &color);
    void ChangeFontColor(const QColor &color);
    QString DrawnText() const;

    QString caption_;
    QColor fontColor_;
    QColor color_;
    bool parentColor_ = true;
    TDRAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool wordWrap_ = false;
    QPointer<QWidget> focusControl_;
    QColor hiColor_;
    QColor loColor_;
    TDRBorder border_ = boNone;
    bool ctl3D_ = true;
    QColor shadowColor_;
    int deep_ = 1;
    int blinkInterval_ = 300;
    TDRBlink blink_ = blNone;
    QColor rememberedColor_;
    QTimer *blinkTimer_ = nullptr;
    int shortcutId_ = 0;
};
