#pragma once

// TBevelPanel: a panel with bevels and a centred caption.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

enum TPanelBevel { bvNone, bvLowered, bvRaised };

// How a caption is shown in `width` pixels: in `font` when it fits there,
// else in the largest smaller pixel size of it, down to `smallestPixels`,
// that fits, else in that size and cut at the end with an ellipsis.
struct TFittedCaption {
    QString Text;
    QFont Font;
};
TFittedCaption FitCaption(const QString &caption, const QFont &font, int width, int smallestPixels);

// TBevelPanel: a panel with an outer and an inner one-pixel bevel and a centred caption.
// The main window uses it for the board frame, the filler panels beside the
// board and the two title panels; the upper title panel works as a push
// button, so the mouse events are handed to the owner.
class TBevelPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TBevelPanel(QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);
    // The caption as the panel shows it at its size: whole, or its
    // beginning and an ellipsis.
    QString ShownCaption() const;
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor &color);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    // Off (the default), a caption wider than the panel is cut at once;
    // on, it is first set smaller, down to this many pixels (FitCaption).
    void SetShrinkCaptionTo(int smallestPixels);

signals:
    // The mouse on the panel, the position in the panel's own coordinates.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons held, QPoint pos);
    void mouseReleased(Qt::MouseButton button, Qt::MouseButtons held, QPoint pos);
    void mouseMoved(Qt::MouseButtons held, QPoint pos);
    // A left press and release both on the panel.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QRect CaptionRoom() const;

    QString caption_;
    QColor fontColor_;
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int smallestPixels_ = 0;
    bool leftPressed_ = false;
};

// Draws a one-pixel bevel just inside `rect`: raised is light on the top and
// left, dark on the right and bottom; lowered the other way round.
void DrawBevel(class QPainter &painter, const QRect &rect, TPanelBevel bevel);
