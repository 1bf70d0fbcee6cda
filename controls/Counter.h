#pragma once

// TCounter: a number shown in digit pictures.

#include <QPixmap>
#include <QString>
#include <QWidget>

// The glyph strips a counter can show.  The ordinals are stored in window
// descriptions, so their order is fixed.
enum TCounterType { ctSmall, ctTraditional, ctTypographical, ctLed, ctGold, ctUserdefined };

// A row of digit pictures cut from a horizontal glyph strip.  The counter
// takes no input and paints opaquely: a changed Value is shown at once,
// composed off-screen and put on the screen in one copy, so the clock's
// second-by-second updates never flicker.
class TCounter : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxDigits = 20; // also the longest Value kept
    static constexpr int MinDigits = 1;

    explicit TCounter(QWidget *parent = nullptr);
    ~TCounter() override;

    // Keeps NumDigits at least as large as the length of Value; never lowers it.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

    // Writing ctUserdefined while UserBitmap is empty is ignored.  A type
    // change reloads the strip but never resizes the control.
    TCounterType CounterType() const { return counterType_; }
    void SetCounterType(TCounterType type);

    // 1..20 (values outside are brought into range).  Unless Stretch is on,
    // a write sets the width to the natural width.
    int NumDigits() const { return numDigits_; }
    void SetNumDigits(int digits);

    // Scales the composed row to the whole control.  Switching it off gives
    // the control its natural size.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);

    // The strip of ctUserdefined: ten glyphs side by side.  Every write copies
    // the picture (a null one empties it) and then selects ctUserdefined.
    const QPixmap &UserBitmap() const { return userBitmap_; }
    void SetUserBitmap(const QPixmap &strip);

    // The text shown, at most 20 characters, digits and "-".  A changed value
    // repaints before the write returns; an unchanged one costs nothing.
    QString Value() const { return value_; }
    void SetValue(const QString &value);

    // Reloads the strip of the current type, as after reading a window
    // description; the size is left alone.
    void Loaded();

    int GlyphWidth() const { return glyphWidth_; }
    int GlyphHeight() const { return glyphHeight_; }
    // NumDigits glyphs wide, one glyph high: 54 x 24 for three LED digits.
    QSize NaturalSize() const;
    QSize sizeHint() const override { return NaturalSize(); }

    // The resource name of a built-in strip ("SMALL", "TRAD", "TYPO", "LED",
    // "GOLD"); empty for ctUserdefined.
    static QString StripName(TCounterType type);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void LoadStrip();
    void ComposeRow();
    QString PaddedValue() const;
    int GlyphIndex(QChar ch) const;
    void ApplyNumDigits(int digits);

    bool autoSize_ = true;
    TCounterType counterType_ = ctTraditional;
    int numDigits_ = 8;
    bool stretch_ = false;
    QPixmap userBitmap_;
    QString value_ = QStringLiteral("0");
    QPixmap strip_;
    QPixmap buffer_;
    int glyphWidth_ = 0;
    int glyphHeight_ = 0;
};
