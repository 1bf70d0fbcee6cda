#pragma once

// TStatusPanels: the status bar of fixed-width panels.

#include <QStatusBar>
#include <QString>
#include <QVector>

class QPainter;

// TStatusPanels: a status bar of fixed-width panels, each plain or drawn by
// the owner in a lowered bevel.  Qt's status bar knows only widgets and one
// message, so the panels are painted here.  The last panel shown reaches the
// bar's right edge; a hidden panel takes no room; no panel draws outside its
// own rectangle.
class TStatusPanels : public QStatusBar
{
    Q_OBJECT

public:
    struct TPanel {
        int Width = 50;
        bool OwnerDraw = false; // drawn through drawPanel, in a lowered bevel
        QString Text;
        bool Shown = true;
    };

    explicit TStatusPanels(QWidget *parent = nullptr);

    int PanelCount() const { return panels_.size(); }
    void AddPanel(int width, bool ownerDraw, const QString &text);
    QString PanelText(int index) const { return panels_.at(index).Text; }
    void SetPanelText(int index, const QString &text);
    bool PanelShown(int index) const { return panels_.at(index).Shown; }
    void SetPanelShown(int index, bool shown);
    // The panel's inner rectangle, where its text goes; empty while hidden.
    QRect PanelRect(int index) const;

signals:
    // Asks the owner to draw an owner-drawn panel's text.  Connect it
    // directly: the painter, clipped to the panel, is only valid during the
    // call.
    void drawPanel(QPainter &painter, int index, const QRect &rect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVector<TPanel> panels_;
};
